#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;

namespace bitexa {

// One side's segments as plain, editable text, one segment per line. The window only holds the
// text: the main dialog puts it in and takes it back. Closing or Escape only hides it.
class CTextDialog : public QDialog {
    Q_OBJECT

public:
    explicit CTextDialog(QWidget* parent);

    void SetText(const QString& text);
    // The text as the user left it, lines separated by line feeds; no character is changed on
    // the way (a no-break space stays one).
    QString Text() const;

    QPlainTextEdit* Edit() const { return m_edit; }

public slots:
    void reject() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnCancel();
    void OnSize();

    QPlainTextEdit* m_edit = nullptr;
};

} // namespace bitexa
