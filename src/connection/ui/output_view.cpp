#include "connection/ui/output_view.h"

#include "app/ui_helpers.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace velacor::connection::ui {

OutputView::OutputView(const char* header, link::Transactor& link, app::Prompter& prompter,
                       QWidget* parent)
    : QWidget(parent), m_link(link), m_prompter(prompter) {
    QLabel* title = app::MakeViewHeader(header);
    m_panel = new SensorControlPanel(link, prompter);
    connect(m_panel, &SensorControlPanel::startRequested, this, &OutputView::startRequested);
    connect(m_panel, &SensorControlPanel::stopRequested, this, &OutputView::stopRequested);

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
    StopWorker();
}

void OutputView::SetContent(QWidget* content) {
    m_layout->addWidget(content, 1);
}

void OutputView::StartWorker(std::function<void()> body) {
    StopWorker();
    m_stop.Reset();
    m_worker = std::thread(std::move(body));
}

void OutputView::StopWorker() {
    m_stop.Stop();
    if (m_worker.joinable())
        m_worker.join();
}

void OutputView::Post(std::function<void()> task) {
    QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

}  // namespace velacor::connection::ui
