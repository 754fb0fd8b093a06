#include "rawgen/chemistry_cycles.h"

#include <algorithm>
#include <cstdio>

namespace velacor::rawgen::detail {
namespace {

constexpr std::uint32_t PUMP_COUNTS_PER_ROW = 25;
// What the unused inputs read: photodiode dark levels.
constexpr Channels DARK = {0.0121, 0.0118, 0.0125, 0.0131, 0.0116, 0.0122, 0.0119, 0.0127};

std::string ConcentrationText(std::uint32_t stored) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%03u", stored / 1000, stored % 1000);
    return text;
}

// LED and photodiode ageing: a slow swing of the full-scale intensities between cycles.
double Drift(unsigned cycle, double period, double depth) {
    return 1.0 + depth * std::sin(2 * PI * cycle / period);
}

// ---- Nutrient ----------------------------------------------------------------------------------

class NutrientFiles final : public CycleWriter {
  public:
    static constexpr std::array<bool, 8> NOISY{true, true, true, true, true, true, false, false};

    NutrientFiles(Builder& b, std::uint8_t type) : m_b(b), m_s(NutrientSetupFor(type)) {}

    void Header(HeaderLines& h) const override {
        h.KeyU("MEASUREMENT_CHANNEL_MEDIUM", m_s.mediumChannel);
        h.KeyU("MONITORING_CHANNEL_MEDIUM", m_s.monitorChannel);
        h.KeyU("MEASUREMENT_CHANNEL_SHORT", m_s.shortChannel);
        h.KeyU("MONITORING_CHANNEL_SHORT", m_s.monitorChannel);
        h.KeyU("MEASUREMENT_CHANNEL_LONG", m_s.longChannel);
        h.KeyU("MONITORING_CHANNEL_LONG", m_s.monitorChannel);
        h.KeyU("OUTPUT_CHANNEL_SELECTION", m_s.outputChannel);
        h.KeyU("SAMPLE_INTAKE_STATE", m_s.intakeState);
        h.KeyU("SAMPLE_MEASUREMENT_STATE", m_s.sampleState);
        h.KeyU("BLANK_MEASUREMENT_STATE", m_s.blankState);
        h.KeyU("STANDARD1_MEASUREMENT_STATE", m_s.standard1State);
        h.KeyU("STANDARD2_MEASUREMENT_STATE", m_s.standard2State);
        h.Key("STANDARD1_CONCENTRATION", ConcentrationText(m_s.standard1));
        h.Key("STANDARD2_CONCENTRATION", ConcentrationText(m_s.standard2));
        h.KeyU("STANDARD_ADJUSTMENT", m_s.standardAdjustment);
        h.KeyU("PROCESSING_TRIGGER", m_s.processingTrigger);
        h.KeyU("ENABLE_OPTICAL_CORRECTION", 0);
        h.KeyU("OC_SAMPLE_MEASUREMENT_STATE", NO_STATE);
        h.KeyU("OC_BLANK_MEASUREMENT_STATE", NO_STATE);
        h.KeyU("SAMPLE_PARAM_P1", m_s.sampleParam[0]);
        h.KeyU("SAMPLE_PARAM_P2", m_s.sampleParam[1]);
        h.KeyU("SAMPLE_PARAM_P3", m_s.sampleParam[2]);
        h.KeyU("INPUT_CHANNEL", m_s.mediumChannel);
        h.KeyU("ENABLE_DRIFT_CORRECTION_STATE", 0);
        h.KeyU("DRIFT_MONITORING_CHANNEL", NO_CHANNEL);
    }

    CycleTruth Cycle(unsigned cycle) override {
        const double upper = m_s.standard2 / 1000.0;
        const double truth =
            std::max(0.0, m_b.Wander(cycle, 0.5 * upper, 0.25 * upper, 0.08 * upper));
        const double drift = Drift(cycle, 150.0, 0.02);
        const Channels blank = Levels(0.0, drift);
        const Channels standard1 = Levels(m_s.standard1 / 1000.0, drift);
        const Channels standard2 = Levels(upper, drift);
        const Channels sample = Levels(truth, drift);
        if (cycle == 0)
            m_last = blank;

        m_b.Writer().ResetPump();
        m_b.Pump(0, PUMP_COUNTS_PER_ROW);
        m_b.Ramp(FLUSH_STATE, m_b.Rows(10), m_last, blank);
        m_b.Pump(0, 0);
        m_b.Hold(m_s.blankState, m_b.Rows(20), blank);
        m_b.Pump(0, PUMP_COUNTS_PER_ROW);
        m_b.Ramp(FLUSH_STATE, m_b.Rows(8), blank, standard1);
        m_b.Pump(0, 0);
        m_b.Hold(m_s.standard1State, m_b.Rows(20), standard1);
        m_b.Pump(0, PUMP_COUNTS_PER_ROW);
        m_b.Ramp(FLUSH_STATE, m_b.Rows(8), standard1, standard2);
        m_b.Pump(0, 0);
        m_b.Hold(m_s.standard2State, m_b.Rows(20), standard2);
        const CycleTruth result = m_b.TruthNow(truth);
        m_b.Pump(PUMP_COUNTS_PER_ROW, 0);
        m_b.Ramp(m_s.intakeState, m_b.Rows(15), standard2, sample);
        m_b.Pump(0, 0);
        m_b.Hold(m_s.sampleState, m_b.Rows(20), sample);
        m_last = sample;
        return result;
    }

  private:
    // Beer-Lambert on each path: I = I0 · 10^(-k · L · C).
    Channels Levels(double micromolar, double drift) const {
        Channels c = DARK;
        const double k = m_s.absorbancePerMicromolar * micromolar;
        c[m_s.longChannel] = 2.4 * drift * std::pow(10.0, -k * m_s.lengthLong);
        c[m_s.mediumChannel] = 3.1 * drift * std::pow(10.0, -k * m_s.lengthMedium);
        c[m_s.shortChannel] = 3.6 * drift * std::pow(10.0, -k * m_s.lengthShort);
        return c;
    }

    Builder& m_b;
    NutrientSetup m_s;
    Channels m_last{};
};

// ---- pH ----------------------------------------------------------------------------------------

class PhFiles final : public CycleWriter {
  public:
    static constexpr std::array<bool, 8> NOISY{false, true,  true,  false,
                                               false, false, false, false};
    static constexpr unsigned INJECTION_S = 35;
    static constexpr double MIXING_S = 30;  // dye pulse peaks this long after injection

    explicit PhFiles(Builder& b) : m_b(b) {}

    void Header(HeaderLines& h) const override {
        const PhSetup& s = PH_SETUP;
        h.KeyU("SAMPLE_INTAKE_STATE", s.intakeState);
        h.KeyU("SAMPLE_MEASUREMENT_STATE", s.measureState);
        h.KeyU("INPUT_CHANNEL_434", s.channel434);
        h.KeyU("INPUT_CHANNEL_578", s.channel578);
        h.KeyU("BLANK_START_OFFSET", s.blankStartS);
        h.KeyU("BLANK_END_OFFSET", s.blankEndS);
        h.KeyF("ABSORBANCE_MIN_434", s.absorbanceMin434);
        h.KeyF("ABSORBANCE_MAX_578", s.absorbanceMax578);
        h.KeyF("DPH_BY_DT", s.dpHdT);
        h.KeyF("R_ADJUSTMENT_SCALE", s.rScale);
        h.KeyF("R_ADJUSTMENT_OFFSET", s.rOffset);
        h.KeyF("T1_ADJUSTMENT_SCALE", s.t1Weight);
        h.KeyF("T2_ADJUSTMENT_SCALE", s.t2Weight);
        h.Thermistor(0, s.thermistor1);
        h.Thermistor(1, s.thermistor2);
    }

    CycleTruth Cycle(unsigned cycle) override {
        const PhSetup& s = PH_SETUP;
        const PlatformReading platform = m_b.Writer().Platform();  // as captured at intake
        const double ph = m_b.Wander(cycle, 8.02, 0.06, 0.03);
        // The cell runs a little warmer than the water; its thermistors read the same
        // temperature through their own calibrations.
        const double cell = platform.temperature + 0.6;
        const double v1 = Rounded(s.thermistor1.VoltsFor(cell), CHANNEL_DECIMALS);
        const double v2 = Rounded(s.thermistor2.VoltsFor(cell), CHANNEL_DECIMALS);
        const double cellRead = s.thermistor1.Temperature(v1) * static_cast<double>(s.t1Weight) +
                                s.thermistor2.Temperature(v2) * static_cast<double>(s.t2Weight);
        // The reported pH is brought from the cell to the platform temperature.
        const double platformTemperature = static_cast<float>(platform.temperature);
        const double salinity = static_cast<float>(platform.salinity);
        const double phCell = ph - (platformTemperature - cellRead) * static_cast<double>(s.dpHdT);
        const double ratio = RatioForPh(phCell, cellRead, salinity, s.rScale, s.rOffset);

        const double drift = Drift(cycle, 90.0, 0.015);
        const double peak = 1.0 + 0.05 * std::sin(0.7 * cycle);
        Channels clear = DARK;
        clear[s.channel434] = 2.2 * drift;
        clear[s.channel578] = 3.1 * drift;
        clear[s.thermistor1.channel] = v1;
        clear[s.thermistor2.channel] = v2;
        const auto withDye = [&](double seconds) {
            Channels c = clear;
            if (seconds >= INJECTION_S) {
                // A gamma-like mixing pulse: rises to `peak` at MIXING_S, then washes out.
                const double u = (seconds - INJECTION_S) / MIXING_S;
                const double a578 = peak * u * std::exp(1.0 - u);
                c[s.channel434] *= std::pow(10.0, -a578 / ratio);
                c[s.channel578] *= std::pow(10.0, -a578);
            }
            return c;
        };

        m_b.Writer().ResetPump();
        const CycleTruth result = m_b.TruthNow(ph);
        m_b.Pump(PUMP_COUNTS_PER_ROW, 0);
        m_b.Hold(s.intakeState, m_b.Rows(20), clear);
        m_b.Pump(0, 0);
        const unsigned rows = m_b.Rows(240);
        m_b.Emit(s.measureState, rows, [&](unsigned i) { return withDye(m_b.SecondsOf(i)); });
        m_b.Pump(0, PUMP_COUNTS_PER_ROW);
        m_b.Ramp(FLUSH_STATE, m_b.Rows(20), withDye(m_b.SecondsOf(rows - 1)), clear);
        return result;
    }

  private:
    Builder& m_b;
};

// ---- TA ----------------------------------------------------------------------------------------

class TaFiles final : public CycleWriter {
  public:
    static constexpr std::array<bool, 8> NOISY{true, false, false, true, true, false, false, false};

    explicit TaFiles(Builder& b) : m_b(b) {}

    void Header(HeaderLines& h) const override {
        const TaSetup& s = TA_SETUP;
        h.KeyU("SAMPLE_INTAKE_STATE", s.intakeState);
        h.KeyU("PROCESSING_TRIGGER", s.processingTrigger);
        h.Thermistor(0, s.thermistor1);
        h.Thermistor(1, s.thermistor2);
        h.KeyU("MEASUREMENT_CHANNEL", s.measureChannel);
        h.KeyU("MONITORING_CHANNEL_LED1", s.monitorLed1);
        h.KeyU("MONITORING_CHANNEL_LED2", s.monitorLed2);
        h.KeyU("BLANK_MEASUREMENT_STATE_LED1", s.blankLed1State);
        h.KeyU("BLANK_MEASUREMENT_STATE_LED2", s.blankLed2State);
        h.KeyU("SAMPLE_MEASUREMENT_STATE_LED1", s.sampleLed1State);
        h.KeyU("SAMPLE_MEASUREMENT_STATE_LED2", s.sampleLed2State);
        h.KeyF("CT", s.ct);
        h.KeyF("ACID_MOLARITY", s.acidMolarity);
        h.KeyF("pKa", s.pKa);
        h.KeyF("e1", s.e1);
        h.KeyF("e2", s.e2);
        h.KeyF("e3", s.e3);
    }

    CycleTruth Cycle(unsigned cycle) override {
        const TaSetup& s = TA_SETUP;
        const PlatformReading platform = m_b.Writer().Platform();
        const double ta = std::clamp(m_b.Wander(cycle, 2280.0, 50.0, 25.0), 2150.0, 2400.0);
        const double cell = platform.temperature + 0.4;
        const double v1 = Rounded(s.thermistor1.VoltsFor(cell), CHANNEL_DECIMALS);
        const double v2 = Rounded(s.thermistor2.VoltsFor(cell), CHANNEL_DECIMALS);
        const double cellRead =
            0.5 * s.thermistor1.Temperature(v1) + 0.5 * s.thermistor2.Temperature(v2);
        const double a1 = 0.55 * Drift(cycle, 37.0, 0.04);  // indicator dose varies a little
        const double a2 = AbsorbanceRatioForTa(ta, cellRead, s) * a1;

        const double drift = Drift(cycle, 120.0, 0.02);
        Channels led1 = DARK;
        led1[s.monitorLed1] = 1.85 * drift;
        led1[s.monitorLed2] = 0.004;
        led1[s.thermistor1.channel] = v1;
        led1[s.thermistor2.channel] = v2;
        Channels led2 = led1;
        led2[s.monitorLed1] = 0.004;
        led2[s.monitorLed2] = 2.05 * drift;
        Channels blank1 = led1;
        blank1[s.measureChannel] = 2.75 * drift;
        Channels blank2 = led2;
        blank2[s.measureChannel] = 3.2 * drift;
        Channels sample1 = led1;
        sample1[s.measureChannel] = blank1[s.measureChannel] * std::pow(10.0, -a1);
        Channels sample2 = led2;
        sample2[s.measureChannel] = blank2[s.measureChannel] * std::pow(10.0, -a2);

        m_b.Writer().ResetPump();
        const CycleTruth result = m_b.TruthNow(ta);
        m_b.Pump(PUMP_COUNTS_PER_ROW, 0);
        m_b.Hold(s.intakeState, m_b.Rows(15), blank1);
        m_b.Pump(0, 0);
        m_b.Hold(s.blankLed1State, m_b.Rows(12), blank1);
        m_b.Hold(s.blankLed2State, m_b.Rows(12), blank2);
        m_b.Pump(PUMP_COUNTS_PER_ROW / 5, 0);  // acid and indicator go in slowly
        m_b.Ramp(s.mixState, m_b.Rows(20), blank1, sample1);
        m_b.Pump(0, 0);
        m_b.Hold(s.sampleLed1State, m_b.Rows(12), sample1);
        m_b.Hold(s.sampleLed2State, m_b.Rows(12), sample2);
        m_b.Pump(0, PUMP_COUNTS_PER_ROW);
        m_b.Ramp(FLUSH_STATE, m_b.Rows(15), sample1, blank1);
        return result;
    }

  private:
    Builder& m_b;
};

// ---- DIC ---------------------------------------------------------------------------------------

class DicFiles final : public CycleWriter {
  public:
    static constexpr std::array<bool, 8> NOISY{true,  false, false, false,
                                               false, false, false, false};
    // The conductivity sits at its baseline for BASELINE_S, rises for RISE_S and holds flat
    // for the rest of the MEASURE_S window (always more than the 30 rows averaged).
    static constexpr double BASELINE_S = 10;
    static constexpr double RISE_S = 25;
    static constexpr unsigned MEASURE_S = 75;

    explicit DicFiles(Builder& b) : m_b(b) {}

    void Header(HeaderLines& h) const override {
        const DicSetup& s = DIC_SETUP;
        h.Thermistor(0, s.thermistor);
        Inlet(h, s.crmInlet, 2, s.crmIntakeState, s.crmMeasureState, s.crmValue);
        Inlet(h, s.sampleInlet, 1, s.sampleIntakeState, s.sampleMeasureState, 0.0f);
        Inlet(h, s.unusedInlet, 0, NO_STATE, NO_STATE, 0.0f);
    }

    CycleTruth Cycle(unsigned cycle) override {
        const DicSetup& s = DIC_SETUP;
        if (cycle % s.samplesPerCrm == 0) {
            // The cell's response drifts; each CRM run sees the response the next samples see.
            if (cycle > 0)
                m_voltsPerUnit *= 1.0 + 0.01 * (2.0 * m_b.TruthRandom().Uniform() - 1.0);
            Measure(s.crmIntakeState, s.crmMeasureState, static_cast<double>(s.crmValue));
        }
        const double dic = m_b.Wander(cycle, 2150.0, 60.0, 30.0);
        const CycleTruth result = m_b.TruthNow(dic);
        Measure(s.sampleIntakeState, s.sampleMeasureState, dic);
        return result;
    }

  private:
    static void Inlet(HeaderLines& h, unsigned index, unsigned type, unsigned intake,
                      unsigned measure, float crm) {
        const std::string inlet = "INLET." + std::to_string(index);
        h.KeyU(inlet + ".TYPE", type);
        h.KeyU(inlet + ".INTAKE_STATE", intake);
        h.KeyU(inlet + ".MEASUREMENT_STATE", measure);
        h.KeyF(inlet + ".CRM_VALUE", crm);
    }

    // Intake, then the measurement: conductivity steps up from its baseline by an amount
    // proportional to `dic` and holds flat, then a flush back to the baseline.
    void Measure(std::uint8_t intake, std::uint8_t measure, double dic) {
        const DicSetup& s = DIC_SETUP;
        const PlatformReading platform = m_b.Writer().Platform();
        Channels level = DARK;
        level[s.thermistor.channel] =
            Rounded(s.thermistor.VoltsFor(platform.temperature + 0.5), CHANNEL_DECIMALS);
        level[0] = 0.45 + 0.01 * std::sin(2 * PI * m_runs++ / 60.0);
        const double step = m_voltsPerUnit * dic;
        const auto measured = [&](double seconds) {
            Channels c = level;
            const double left = std::clamp(1.0 - (seconds - BASELINE_S) / RISE_S, 0.0, 1.0);
            c[0] += step * (1.0 - left * left * left);
            return c;
        };

        m_b.Writer().ResetPump();
        m_b.Pump(PUMP_COUNTS_PER_ROW, 0);
        m_b.Hold(intake, m_b.Rows(20), level);
        m_b.Pump(0, 0);
        const unsigned rows = m_b.Rows(MEASURE_S);
        m_b.Emit(measure, rows, [&](unsigned i) { return measured(m_b.SecondsOf(i)); });
        m_b.Pump(0, PUMP_COUNTS_PER_ROW);
        m_b.Ramp(FLUSH_STATE, m_b.Rows(15), measured(m_b.SecondsOf(rows - 1)), level);
    }

    Builder& m_b;
    double m_voltsPerUnit = 1.0e-4;  // conductivity step per µmol/kg
    unsigned m_runs = 0;
};

}  // namespace

std::array<bool, 8> NoisyChannels(const Options& options) {
    switch (options.chemistry) {
        case Chemistry::Nutrient:
            return NutrientFiles::NOISY;
        case Chemistry::Ph:
            return PhFiles::NOISY;
        case Chemistry::Ta:
            return TaFiles::NOISY;
        case Chemistry::Dic:
            return DicFiles::NOISY;
    }
    return {};
}

std::unique_ptr<CycleWriter> MakeCycleWriter(const Options& options, Builder& builder) {
    switch (options.chemistry) {
        case Chemistry::Nutrient:
            return std::make_unique<NutrientFiles>(builder, options.nutrientType);
        case Chemistry::Ph:
            return std::make_unique<PhFiles>(builder);
        case Chemistry::Ta:
            return std::make_unique<TaFiles>(builder);
        case Chemistry::Dic:
            return std::make_unique<DicFiles>(builder);
    }
    return nullptr;
}

}  // namespace velacor::rawgen::detail
