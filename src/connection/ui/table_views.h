// The raw and processed output tables.
#pragma once

#include <QStringList>

#include "connection/output_rows.h"
#include "connection/sample_history.h"
#include "connection/ui/output_view.h"

class QPushButton;
class QTreeWidget;

namespace velacor::connection::ui {

// A list capped at about 1000 rows, oldest first.
QTreeWidget* MakeOutputList(const std::vector<OutputColumn>& columns);
void AppendCappedRow(QTreeWidget* list, const std::vector<std::string>& cells, bool scroll);

class RawTableView final : public OutputView {
    Q_OBJECT
  public:
    RawTableView(link::Transactor& link, widgets::Prompter& prompter, const SampleHistory& history,
                 QWidget* parent = nullptr);
    ~RawTableView() override { StopWorker(); }
    QTreeWidget* List() const { return m_list; }

  private:
    const SampleHistory& m_history;
    QTreeWidget* m_list = nullptr;
};

class ProcessedTableView final : public OutputView {
    Q_OBJECT
  public:
    ProcessedTableView(link::Transactor& link, widgets::Prompter& prompter,
                       QWidget* parent = nullptr);
    ~ProcessedTableView() override { StopWorker(); }
    QTreeWidget* List() const { return m_list; }
    QPushButton* SaveButton() const { return m_save; }
    QPushButton* ClearButton() const { return m_clear; }
    void Refresh() override;

  private:
    void StartReading();
    void Save();
    void Clear();
    void SetColumnTitles();

    QTreeWidget* m_list = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_clear = nullptr;
};

}  // namespace velacor::connection::ui
