// The chemistry pages as widgets: each copies between its controls and its page form
// (config/chemistry_pages.h) and applies the enabling it is given. The chemistry editor shows
// them with their "Configure Sensor For" box; the processing dialogs show the nutrient and pH
// pages without it and add rows of their own to the page's columns.
#pragma once

#include <QWidget>

#include <array>
#include <cstdint>

#include "config/chemistry_pages.h"
#include "widgets/form_binding.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLineEdit;

namespace velacor::config::ui {

struct PageOptions {
    bool configureBox = true;        // the "Configure Sensor For ..." box above the page
    std::uint8_t chemistryType = 0;  // names the box and the dilution
};

// The columns every page lays its rows out in, and the Configure box above them.
class PageBase : public QWidget {
    Q_OBJECT
  public:
    // A column's form, for a dialog's own rows.
    QFormLayout* Column(std::size_t i) const { return m_columns.at(i); }
    QCheckBox* ConfigureBox() const { return m_configure; }

  signals:
    // The Configure box or a control the enabling rules depend on changed.
    void rulesInputChanged();

  protected:
    PageBase(const PageOptions& options, std::size_t columns, QWidget* parent);
    // The Configure box shows the form's tick; without the box the tick reads as set.
    template <class Form>
    void BindConfigureBox(widgets::FormBinding<Form>& bind, bool Form::*configure) {
        if (m_configure != nullptr)
            bind.Tick(m_configure, configure);
    }
    // Enables everything below the Configure box.
    void EnableBody(bool enabled);

  private:
    QCheckBox* m_configure = nullptr;
    QWidget* m_body = nullptr;
    std::array<QFormLayout*, 3> m_columns{};
};

class GenericPageWidget final : public PageBase {
    Q_OBJECT
  public:
    explicit GenericPageWidget(const PageOptions& options, QWidget* parent = nullptr);
    void Show(const GenericPageForm& form);
    GenericPageForm Form() const { return m_bind.Read(); }
    void ApplyEnabling(bool pageEnabled) { EnableBody(pageEnabled); }

    struct Controls {
        QLineEdit* sampleInterval;
        QLineEdit* intakeState;
        QLineEdit* measureState;
        std::array<QLineEdit*, 8> scale;
        std::array<QLineEdit*, 8> offset;
    };
    const Controls& Fields() const { return m_c; }

  private:
    Controls m_c{};
    widgets::FormBinding<GenericPageForm> m_bind;
};

class NutrientPageWidget final : public PageBase {
    Q_OBJECT
  public:
    // `gridPaths`: the optical paths of the channel grid's rows, top to bottom.
    NutrientPageWidget(const PageOptions& options, std::array<std::uint8_t, 3> gridPaths,
                       QWidget* parent = nullptr);
    void Show(const NutrientPageForm& form);
    NutrientPageForm Form() const { return m_bind.Read(); }
    void ApplyEnabling(const NutrientPageEnabling& enabling);

    struct Controls {
        QComboBox* sensorVersion;
        std::array<QComboBox*, 3> measure;  // by optical path (0 Long, 1 Medium, 2 Short)
        std::array<QComboBox*, 3> monitor;
        QComboBox* output;
        QLineEdit* intakeState;
        QLineEdit* sampleState;
        QLineEdit* blankState;
        QComboBox* adjustment;
        QLineEdit* standard1State;
        QLineEdit* standard2State;
        QLineEdit* standard1Conc;
        QLineEdit* standard2Conc;
        QComboBox* trigger;
        QCheckBox* opticalCorrection;
        QLineEdit* dilution;
        QLineEdit* ocSampleState;
        QLineEdit* ocBlankState;
    };
    const Controls& Fields() const { return m_c; }

  private:
    Controls m_c{};
    widgets::FormBinding<NutrientPageForm> m_bind;
};

class PhPageWidget final : public PageBase {
    Q_OBJECT
  public:
    // `multiplexer`: the editor's Multiplexer list, which the processing dialog has not.
    PhPageWidget(const PageOptions& options, bool multiplexer, QWidget* parent = nullptr);
    void Show(const PhPageForm& form);
    PhPageForm Form() const { return m_bind.Read(); }
    void ApplyEnabling(bool pageEnabled) { EnableBody(pageEnabled); }

    struct Controls {
        QLineEdit* sampleInterval;
        QComboBox* multiplexer;  // nullptr without
        QComboBox* sensorVersion;
        QComboBox* blueChannel;
        QComboBox* yellowChannel;
        QLineEdit* intakeState;
        QLineEdit* measureState;
        QLineEdit* blankStart;
        QLineEdit* blankEnd;
        QLineEdit* absorbanceMinBlue;
        QLineEdit* absorbanceMaxYellow;
        QLineEdit* dpHdT;
        QLineEdit* rScale;
        QLineEdit* rOffset;
        QLineEdit* thermistor1Scale;
        QLineEdit* thermistor2Scale;
    };
    const Controls& Fields() const { return m_c; }

  private:
    Controls m_c{};
    widgets::FormBinding<PhPageForm> m_bind;
};

}  // namespace velacor::config::ui
