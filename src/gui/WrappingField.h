#pragma once

#include <functional>

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextDocument>
#include <QTextEdit>
#include <QtMath>

#include "TextCharacters.h"

// The additional information: its text wraps within the stub's box, as it does on the paper.
// It takes no line breaks: Enter does nothing and a pasted text's line breaks are dropped.
// Typing and pasting stop at the field's length in characters; what the program puts in is
// shown whole. The edit grows downwards when its text needs more than the box.
class WrappingField final : public QTextEdit {
public:
    using Accepts = std::function<bool(char16_t)>;
    WrappingField(Accepts accepts, int maxLength, QWidget* parent)
        : QTextEdit(parent), m_accepts(std::move(accepts)), m_maxLength(maxLength) {
        setAcceptRichText(false);
        setTabChangesFocus(true);
        setLineWrapMode(QTextEdit::WidgetWidth);
        setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setFrameShape(QFrame::NoFrame);
        document()->setDocumentMargin(2);
        viewport()->setContextMenuPolicy(Qt::NoContextMenu);
        connect(document(), &QTextDocument::contentsChanged, this, &WrappingField::fitText);
    }

    // The box it stands over; it is never smaller.
    void setBox(const QRect& box) {
        m_box = box;
        setGeometry(box);
        fitText();
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            event->ignore();  // as in a one-line field
            return;
        }
        const QString typed = event->text();
        const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
        if (!typed.isEmpty() && typed.front().isPrint() && !shortcut && !isReadOnly()) {
            insertFitting(typed);
            return;
        }
        QTextEdit::keyPressEvent(event);
    }
    void inputMethodEvent(QInputMethodEvent* event) override {
        if (event->commitString().isEmpty()) {
            QTextEdit::inputMethodEvent(event);
            return;
        }
        QInputMethodEvent kept(event->preeditString(), event->attributes());
        kept.setCommitString(fitting(event->commitString()), event->replacementStart(),
                             event->replacementLength());
        QTextEdit::inputMethodEvent(&kept);
    }
    bool canInsertFromMimeData(const QMimeData* source) const override { return source->hasText(); }
    void insertFromMimeData(const QMimeData* source) override { insertFitting(source->text()); }
    void changeEvent(QEvent* event) override {
        QTextEdit::changeEvent(event);
        if (event->type() == QEvent::FontChange)
            fitText();
    }

private:
    // What of `text` goes in in place of the selection: no line breaks nor refused
    // characters, and no more characters than there is room for.
    QString fitting(const QString& text) const {
        QString kept;
        for (QChar c : text)
            if (c != u'\n' && c != u'\r' && c != QChar::LineSeparator &&
                c != QChar::ParagraphSeparator && m_accepts(c.unicode()))
                kept += c;
        if (m_maxLength <= 0)
            return kept;
        const qsizetype room = m_maxLength - characterCount(toPlainText()) +
                               characterCount(textCursor().selectedText());
        const QList<QStringView> characters = textCharacters(kept);
        if (characters.size() <= room)
            return kept;
        return room > 0 ? kept.left(characters[room].data() - kept.constData()) : QString();
    }
    void insertFitting(const QString& text) {
        const QString kept = fitting(text);
        if (!kept.isEmpty())  // nothing to put in takes nothing out either
            insertPlainText(kept);
    }
    // As tall as its text needs, and at least as tall as its box.
    void fitText() {
        if (m_box.isEmpty())
            return;
        QTextDocument probe;
        probe.setDefaultFont(font());
        probe.setDocumentMargin(document()->documentMargin());
        probe.setDefaultTextOption(document()->defaultTextOption());
        probe.setPlainText(toPlainText());
        probe.setTextWidth(m_box.width() - 2 * frameWidth());
        const int height = qCeil(probe.size().height()) + 2 * frameWidth();
        setGeometry(m_box.adjusted(0, 0, 0, qMax(0, height - m_box.height())));
        if (height > m_box.height())
            raise();  // over the fields below the box
    }

    Accepts m_accepts;
    int m_maxLength;  // 0: none
    QRect m_box;
};
