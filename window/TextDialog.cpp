#include "window/TextDialog.h"

#include "res/DialogTemplates.h"
#include "window/DialogBuilder.h"
#include "window/FrameLayout.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace bitexa {

CTextDialog::CTextDialog(QWidget* parent) : QDialog(parent) {
    BuildDialog(TextDialogTemplate(), *this);
    // As in the alignment view: the size given at creation does not pass the layout rule.
    setAttribute(Qt::WA_PendingResizeEvent, false);
    m_edit = FindControl<QPlainTextEdit>(*this, ControlIds::TextEdit);
    // The edit has no length limit of its own, so a side of any size can be shown and edited.
}

void CTextDialog::SetText(const QString& text) {
    m_edit->setPlainText(text);
}

QString CTextDialog::Text() const {
    // The raw text keeps no-break spaces as they are; blocks are separated by paragraph
    // separators, which stand for the line breaks.
    QString text = m_edit->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

void CTextDialog::reject() {
    OnCancel();
}

void CTextDialog::OnCancel() {
    hide();
}

void CTextDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    OnSize();
}

void CTextDialog::OnSize() {
    if (m_edit != nullptr) {
        FitToFrame(*this, *m_edit);
    }
}

} // namespace bitexa
