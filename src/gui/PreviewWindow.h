#pragma once

#include <functional>

#include <QImage>
#include <QWidget>

class Document;
class Prompts;
struct PrintFormat;
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
    PreviewWindow(const Document& cheque, std::function<const PrintFormat*()> format,
                  Prompts& prompts, QWidget* parent = nullptr);

    // Draws the cheque again as it now stands, without reading the database.
    void redraw();
    // "实际大小": one millimetre on the screen is one millimetre; otherwise it fits the window.
    void setActualSize(bool actual);
    // Its print button is off while a print runs.
    void setPrintEnabled(bool enabled);
    const QImage& picture() const { return m_picture; }
    QLabel* overflowLine() const { return m_overflow; }

signals:
    void printRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    double pixelsPerMm() const;

    const Document& m_cheque;
    std::function<const PrintFormat*()> m_format;
    Prompts& m_prompts;
    QScrollArea* m_scroll;
    QLabel* m_shown;
    QLabel* m_overflow;
    QPushButton* m_print = nullptr;
    QImage m_picture;
    bool m_actualSize = false;
};
