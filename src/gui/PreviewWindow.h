#pragma once

#include <functional>

#include <QImage>
#include <QWidget>

class Document;
struct FaintPicture;
class Prompts;
struct PrintFormat;
class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;

// The cheque as it will print, drawn by the code that prints: the blank cheque with the fields,
// fonts, switches, format, margins and stub. Fields that will not fit are framed in red and
// named under the picture. It follows the cheque while it is open.
class PreviewWindow final : public QWidget {
    Q_OBJECT

public:
    // `format` gives the current print format at each redraw; none when it could not be read.
    // `background` gives the scan of the blank form drawn behind the fields; none to draw none.
    PreviewWindow(const Document& cheque, std::function<const PrintFormat*()> format,
                  std::function<const FaintPicture*()> background, Prompts& prompts,
                  QWidget* parent = nullptr);

    // Draws the cheque again as it now stands, without reading the database.
    void redraw();
    // "实际大小": one millimetre on the screen is one millimetre; otherwise it fits the window.
    void setActualSize(bool actual);
    // Its print button is off while a print runs.
    void setPrintEnabled(bool enabled);
    // Ticks "显示底图" as the window shows the background, without telling it back.
    void setBackgroundShown(bool shown);
    const QImage& picture() const { return m_picture; }
    QLabel* overflowLine() const { return m_overflow; }

signals:
    void printRequested();
    // "显示底图" was ticked or cleared.
    void backgroundShownChanged(bool shown);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    double pixelsPerMm() const;

    const Document& m_cheque;
    std::function<const PrintFormat*()> m_format;
    std::function<const FaintPicture*()> m_background;
    Prompts& m_prompts;
    QScrollArea* m_scroll;
    QLabel* m_shown;
    QLabel* m_overflow;
    QPushButton* m_print = nullptr;
    QCheckBox* m_showBackground = nullptr;
    QImage m_picture;
    bool m_actualSize = false;
};
