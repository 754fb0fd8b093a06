#include "connection/ui/compatibility_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/prompter.h"
#include "app/ui_helpers.h"
#include "connection/compatibility.h"
#include "protocol/identity_commands.h"

namespace velacor::connection::ui {
namespace {

QColor ToQColor(Rgb rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

app::ListColumn ToColumn(const ListColumn& column) {
    return {column.title, column.width};
}

}  // namespace

CompatibilityView::CompatibilityView(link::Transactor& link, app::Prompter& prompter,
                                     QWidget* parent)
    : QWidget(parent) {
    QLabel* header = app::MakeViewHeader("COMPATIBILITY");

    m_upper = new QTreeWidget;
    const std::array<app::ListColumn, 1> upper = {ToColumn(COMPATIBILITY_COLUMN)};
    app::AddListColumns(m_upper, upper);
    m_lower = new QTreeWidget;
    const std::array<app::ListColumn, 3> lower = {
        ToColumn(RELEASE_COLUMNS[0]), ToColumn(RELEASE_COLUMNS[1]), ToColumn(RELEASE_COLUMNS[2])};
    app::AddListColumns(m_lower, lower);
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
        app::SetListCell(m_upper, row++, 0, app::FromUtf8(r.text), ToQColor(r.colour));
    row = 0;
    for (const ReleaseRow& r : lists.lower) {
        app::SetListCell(m_lower, row, 0, app::FromUtf8(r.version), ToQColor(r.colour));
        app::SetListCell(m_lower, row, 1, app::FromUtf8(r.date));
        app::SetListCell(m_lower, row, 2, app::FromUtf8(r.changes));
        ++row;
    }
}

}  // namespace velacor::connection::ui
