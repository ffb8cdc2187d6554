#pragma once
// Shows a JPEG picture scaled to fill the widget. The picture is decoded the
// first time the widget is shown, and painted row by row as it decodes; a
// picture that cannot be decoded leaves the widget empty.

#include <QByteArray>
#include <QImage>
#include <QWidget>

namespace ui {

class JpegPicture : public QWidget {
    Q_OBJECT
public:
    explicit JpegPicture(QWidget* parent = nullptr);

    // The JPEG to show; it is decoded when the widget is next shown.
    void setJpegData(const QByteArray& data);
    // Decodes now if not yet done (the widget paints as rows arrive).
    void decodeNow();

    bool decoded() const { return m_decoded; }
    const QImage& image() const { return m_image; }   // null when empty
    const QString& error() const { return m_error; }

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void showRows(const QImage& partial, int rows);

    QByteArray m_data;
    QImage m_image;
    QString m_error;
    bool m_decoded = false;
    const QImage* m_partial = nullptr;   // the picture being decoded, while a row report paints
    int m_partialRows = 0;
};

} // namespace ui
