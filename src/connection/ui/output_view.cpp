#include "connection/ui/output_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "widgets/text.h"

namespace velacor::connection::ui {

OutputView::OutputView(const char* header, link::Transactor& link, widgets::Prompter& prompter,
                       QWidget* parent)
    : QWidget(parent), m_link(link), m_prompter(prompter), m_header(header) {
    QLabel* title = widgets::MakeViewHeader(header);
    m_panel = new SensorControlPanel(link, prompter);
    connect(m_panel, &SensorControlPanel::startRequested, this, &OutputView::startRequested);
    connect(m_panel, &SensorControlPanel::stopRequested, this, &OutputView::stopRequested);
    connect(m_panel, &SensorControlPanel::autostartRequested, this,
            &OutputView::autostartRequested);

    m_side = new QVBoxLayout;
    m_side->addWidget(title);
    m_side->addWidget(m_panel);
    auto* sideEnd = new QVBoxLayout;
    sideEnd->addLayout(m_side);
    sideEnd->addStretch();
    m_layout = new QHBoxLayout(this);
    m_layout->addLayout(sideEnd);
}

OutputView::~OutputView() {
    m_worker.Stop();
}

void OutputView::SetContent(QWidget* content) {
    m_layout->addWidget(content, 1);
}

void OutputView::StartWorker(std::function<void()> body) {
    if (!m_worker.Start(std::move(body)))
        widgets::Inform(m_prompter, m_header, widgets::WORKER_START_FAILED_TEXT);
}

}  // namespace velacor::connection::ui
