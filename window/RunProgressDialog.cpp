#include "window/RunProgressDialog.h"

#include "res/Strings.h"
#include "window/QtText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace bitexa {

namespace {

// The bar's steps: fine enough to move visibly on a run of many seconds.
constexpr int ProgressSteps = 1000;

} // namespace

RunProgressDialog::RunProgressDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setWindowTitle(ToQString(ProgressTitle));
    setModal(false);
    m_label = new QLabel(this);
    m_bar = new QProgressBar(this);
    m_bar->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
    m_bar->setTextVisible(true);
    m_cancel = new QPushButton(ToQString(ProgressCancelButton), this);
    m_cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(m_cancel, &QPushButton::clicked, this, &RunProgressDialog::reject);
    Reset();
}

void RunProgressDialog::SetProgress(std::uint64_t done, std::uint64_t total) {
    if (total == 0) {
        m_bar->setRange(0, 0);
        return;
    }
    m_bar->setRange(0, ProgressSteps);
    m_bar->setValue(static_cast<int>(std::min(done, total) * ProgressSteps / total));
}

void RunProgressDialog::Reset() {
    m_label->setText(ToQString(ProgressLabel));
    m_cancel->setEnabled(true);
    m_bar->setRange(0, 0);
}

void RunProgressDialog::reject() {
    // The window stays until the run has really stopped.
    if (m_cancel->isEnabled()) {
        m_cancel->setEnabled(false);
        m_label->setText(ToQString(ProgressCancellingLabel));
        emit CancelRequested();
    }
}

} // namespace bitexa
