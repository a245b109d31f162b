#pragma once

#include <QDialog>

#include <cstdint>

class QLabel;
class QProgressBar;
class QPushButton;

namespace bitexa {

// How far a run that takes a while has come, with a button to stop it. A small modeless window
// beside the main dialog; Escape and the close box stop the run as the button does.
class RunProgressDialog : public QDialog {
    Q_OBJECT

public:
    explicit RunProgressDialog(QWidget* parent);

    // Work done of the whole; with no whole known yet (the texts are still being read) the bar
    // only shows that something goes on.
    void SetProgress(std::uint64_t done, std::uint64_t total);
    // Back to the start for the next run.
    void Reset();

    QProgressBar* Bar() const { return m_bar; }
    QPushButton* CancelButton() const { return m_cancel; }

public slots:
    void reject() override;

signals:
    // The user asked the run to stop.
    void CancelRequested();

private:
    QLabel* m_label = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace bitexa
