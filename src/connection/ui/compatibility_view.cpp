#include "connection/ui/compatibility_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "connection/compatibility.h"
#include "protocol/identity_commands.h"
#include "widgets/colours.h"
#include "widgets/lists.h"
#include "widgets/prompter.h"
#include "widgets/text.h"

namespace velacor::connection::ui {

using widgets::ToQColor;

CompatibilityView::CompatibilityView(link::Transactor& link, widgets::Prompter& prompter,
                                     QWidget* parent)
    : QWidget(parent) {
    QLabel* header = widgets::MakeViewHeader("COMPATIBILITY");

    m_upper = new QTreeWidget;
    widgets::AddListColumns(m_upper, COMPATIBILITY_COLUMNS);
    m_lower = new QTreeWidget;
    widgets::AddListColumns(m_lower, RELEASE_COLUMNS);
    for (QTreeWidget* list : {m_upper, m_lower})
        list->setSelectionMode(QAbstractItemView::NoSelection);

    auto* lists = new QVBoxLayout;
    lists->addWidget(m_upper, 1);
    lists->addWidget(m_lower, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(header);
    layout->addLayout(lists, 1);

    protocol::FirmwareVersionText version;
    if (protocol::ReadFirmwareVersion(link, version) != protocol::STATUS_OK) {
        prompter.Inform(QString::fromUtf8(VERSION_UNREADABLE_TITLE),
                        QString::fromUtf8(VERSION_UNREADABLE_TEXT));
        return;
    }
    Show(version.Text());
    m_loaded = true;
}

void CompatibilityView::Show(const std::string& sensorVersion) {
    const CompatibilityLists lists = BuildCompatibilityLists(sensorVersion);
    m_upper->clear();
    m_lower->clear();
    int row = 0;
    for (const CompatibilityRow& r : lists.upper)
        widgets::SetListCell(m_upper, row++, 0, widgets::FromUtf8(r.text), ToQColor(r.colour));
    row = 0;
    for (const ReleaseRow& r : lists.lower) {
        widgets::SetListCell(m_lower, row, 0, widgets::FromUtf8(r.version), ToQColor(r.colour));
        widgets::SetListCell(m_lower, row, 1, widgets::FromUtf8(r.date));
        widgets::SetListCell(m_lower, row, 2, widgets::FromUtf8(r.changes));
        ++row;
    }
}

}  // namespace velacor::connection::ui
