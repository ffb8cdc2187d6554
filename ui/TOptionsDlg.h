#pragma once
// The options dialog: three pages and a list of the settings file's named
// styles. Its working page, "Node Colours", gives each level style a colour;
// its eleven labels `Label1` to `Label11` show the dialog level fonts, which
// are the design's own, reached through a TLevelFonts.
//
// The dialog keeps its own copy of the current header (the level-style
// table): openFor() fills it, shows the dialog modally and, however the
// dialog was closed, hands the eleven level records and the reserved record
// back into the current header.

#include "model/HeaderRecord.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QLabel;
class QListWidget;
class QTabWidget;

namespace ui {

class FontStylePage;
class TCColorGrid;
class TLevelFonts;

class TOptionsDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr QPoint kPosition{192, 107};
    static constexpr QSize kOuterSize{645, 454};

    // `sectionNames`: the settings file's section names in file order; the
    // first "Settings" (any case) is left out of the style list.
    TOptionsDlg(TLevelFonts& fonts, const QStringList& sectionNames, QWidget* parent = nullptr);

    void setSectionNames(const QStringList& sectionNames);

    // The Options command: copy `currentHeader` in, show modally, hand back.
    void openFor(model::HeaderRecord& currentHeader);
    void loadTable(const model::HeaderRecord& currentHeader) { m_table = currentHeader; }
    void handBackTable(model::HeaderRecord& currentHeader) const;
    const model::HeaderRecord& table() const { return m_table; }

    int chosenLevel() const { return m_chosen; }
    QLabel* levelLabel(int level) const { return m_levelLabels.at(level); }
    TCColorGrid* colourGrid() const { return m_grid; }
    FontStylePage* fontStylePage() const { return m_fontStylePage; }

public slots:
    void FormShow();
    void Button1Click(QLabel* label);
    void CColorGrid1Click();
    void BitBtn2Click();
    void StylesBoxClick();
    void Image1MouseMove(QPoint pos);
    void SplitterMoved();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    void buildPages();
    QWidget* buildStylesColumn();
    QWidget* buildDirectoriesPage();
    QWidget* buildNodeColoursPage();
    void addLevelLabels(QWidget* page);
    void silenceHints();
    void refreshLabel(int level);
    void refreshLabels(int level);
    bool pictureColourAt(QPoint pos, QColor& colour) const;

    TLevelFonts& m_fonts;
    model::HeaderRecord m_table{};
    QListWidget* m_stylesBox = nullptr;
    QTabWidget* m_pages = nullptr;
    FontStylePage* m_fontStylePage = nullptr;
    QList<QLabel*> m_levelLabels;
    QLabel* m_leftMarker = nullptr;    // Image8
    QLabel* m_rightMarker = nullptr;   // Image9
    TCColorGrid* m_grid = nullptr;
    int m_chosen = -1;                 // the level label last clicked
};

} // namespace ui
