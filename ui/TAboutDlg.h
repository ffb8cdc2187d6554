#pragma once
// The about dialog: a photograph, a credit line naming where the toolbar
// icons come from, and a link to that place, opened in the user's browser.

#include "ui/LinkOpener.h"

#include <QDialog>
#include <QUrl>
#include <memory>

class QFrame;
class QLabel;
class QPushButton;

namespace ui {

class JpegPicture;

class TAboutDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr QSize kOuterSize{485, 263};
    static const QUrl kIconSource;

    // `opener` null: the desktop opens the link.
    explicit TAboutDlg(QWidget* parent = nullptr, std::unique_ptr<LinkOpener> opener = nullptr);
    ~TAboutDlg() override;

    JpegPicture* picture() const { return m_picture; }
    QLabel* link() const { return m_link; }

    // The photograph shown, built into the program.
    static QByteArray photograph();

public slots:
    // Opens the link's address; the dialog stays open.
    void Label2Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void addUnderlines();

    std::unique_ptr<LinkOpener> m_opener;
    JpegPicture* m_picture = nullptr;
    QLabel* m_link = nullptr;
};

} // namespace ui
