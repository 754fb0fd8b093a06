// The compatibility view: the sensor's firmware version against the releases this program
// knows, with the verdict and its warnings.
#pragma once

#include <QWidget>

#include "link/transactor.h"

class QTreeWidget;

namespace velacor::widgets {
class Prompter;
}

namespace velacor::connection::ui {

class CompatibilityView final : public QWidget {
    Q_OBJECT
  public:
    // Reads the sensor's version at once; when that fails it says so and Loaded() is false.
    CompatibilityView(link::Transactor& link, widgets::Prompter& prompter,
                      QWidget* parent = nullptr);

    bool Loaded() const { return m_loaded; }
    QTreeWidget* VerdictList() const { return m_upper; }
    QTreeWidget* ReleaseList() const { return m_lower; }

    // Fills both lists for a version text (public for tests).
    void Show(const std::string& sensorVersion);

  private:
    QTreeWidget* m_upper = nullptr;
    QTreeWidget* m_lower = nullptr;
    bool m_loaded = false;
};

}  // namespace velacor::connection::ui
