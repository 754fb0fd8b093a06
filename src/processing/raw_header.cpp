// The header keys of each chemistry, tried in one fixed order; the first key whose value
// converts takes the line. A key matches as sscanf would match "%%<key>%u" (or %lf): white space
// may precede the '%', the key text must follow exactly, and the value is converted by the same
// scanners as the data rows.
#include <span>
#include <type_traits>

#include "processing/raw_file.h"
#include "processing/run_control.h"

#include "base/single_precision.h"

namespace velacor::processing {
namespace {

using protocol::PATH_LONG;
using protocol::PATH_MEDIUM;
using protocol::PATH_SHORT;

enum class Value { Unsigned, Double };
enum class Form { Plain, Inlet, Name };

template <class H>
struct Key {
    Form form;
    std::string_view text;  // Plain: key after '%'; Inlet: part after the index; Name: prefix
    Value value;
    void (*store)(H& header, std::uint32_t index, std::uint32_t u, double d);
};

constexpr std::string_view PREFIX = "VELACOR.CHEMISTRY.";
constexpr std::string_view INLET_PREFIX = "VELACOR.CHEMISTRY.INLET.";
constexpr std::string_view NAME_PREFIX = "%VELACOR.CORE.SENSOR_NAME=";
constexpr std::uint32_t INLET_COUNT = 3;
constexpr std::size_t SENSOR_NAME_CHARS = 20;

std::uint8_t U8(std::uint32_t v) {
    return static_cast<std::uint8_t>(v);
}
std::uint16_t U16(std::uint32_t v) {
    return static_cast<std::uint16_t>(v);
}
float F32(double v) {
    return base::Single(v);
}

bool Literal(std::string_view& text, std::string_view literal) {
    if (text.substr(0, literal.size()) != literal)
        return false;
    text.remove_prefix(literal.size());
    return true;
}

bool ScanValue(std::string_view& text, Value kind, std::uint32_t& u, double& d) {
    if (kind == Value::Unsigned) {
        const auto v = ScanUnsigned(text);
        u = v.value_or(0);
        return v.has_value();
    }
    const auto v = ScanDouble(text);
    d = v.value_or(0);
    return v.has_value();
}

template <class H>
bool TryKey(std::string_view line, const Key<H>& key, H& header) {
    if (key.form == Form::Name) {
        if (!line.starts_with(key.text))
            return false;
        std::string_view name = line.substr(key.text.size());
        if (name.ends_with('\r'))
            name.remove_suffix(1);
        if constexpr (std::is_same_v<H, NutrientHeader>)
            header.sensorName.assign(name.substr(0, SENSOR_NAME_CHARS));
        return true;
    }
    std::string_view text = line;
    const std::size_t start = text.find_first_not_of(" \t\n\v\f\r");
    text.remove_prefix(start == std::string_view::npos ? text.size() : start);
    if (!Literal(text, "%"))
        return false;
    std::uint32_t index = 0;
    if (key.form == Form::Inlet) {
        if (!Literal(text, INLET_PREFIX))
            return false;
        const auto i = ScanUnsigned(text);
        if (!i)
            return false;
        index = *i;
    } else if (!Literal(text, PREFIX)) {
        return false;
    }
    std::uint32_t u = 0;
    double d = 0;
    if (!Literal(text, key.text) || !ScanValue(text, key.value, u, d))
        return false;
    if (key.form != Form::Inlet || index < INLET_COUNT)
        key.store(header, index, u, d);
    return true;
}

template <class H>
bool ReadHeader(RawFile& file, H& header, H defaults, std::span<const Key<H>> keys,
                bool stopAtHeaderEnd, const RunControl* control = nullptr,
                bool* cancelled = nullptr) {
    header = std::move(defaults);
    bool seen = false;
    if (!file.Rewind())
        return false;
    std::string_view line;
    constexpr std::uint32_t ASK_EVERY = 4096;  // lines between two questions to `control`
    std::uint32_t untilAsk = ASK_EVERY;
    while (file.NextLine(line) == LineResult::Line) {
        if (control != nullptr && control->keepGoing && --untilAsk == 0) {
            untilAsk = ASK_EVERY;
            if (!control->keepGoing(file.BytesRead())) {
                *cancelled = true;
                return seen;
            }
        }
        // Every key and every stop line begins with '%' (keys may follow white space): the
        // data rows, which the pH reader scans to the end of the file, are passed over at once.
        const std::size_t first = line.find_first_not_of(" \t\n\v\f\r");
        if (first == std::string_view::npos || line[first] != '%')
            continue;
        if (line.starts_with("%VELACOR.HEADER_START")) {
            seen = true;
            continue;
        }
        bool recognised = false;
        for (const Key<H>& key : keys)
            if ((recognised = TryKey(line, key, header)))
                break;
        if (recognised)
            continue;
        if (stopAtHeaderEnd &&
            (line.starts_with("%VELACOR.HEADER_END") || line.starts_with("%Counter")))
            break;
    }
    return seen;
}

#define U_KEY(H, name, expr)                                           \
    Key<H> {                                                           \
        Form::Plain, name "=", Value::Unsigned,                        \
            [](H& h, std::uint32_t, std::uint32_t u, double) { expr; } \
    }
#define F_KEY(H, name, expr)                                           \
    Key<H> {                                                           \
        Form::Plain, name "=", Value::Double,                          \
            [](H& h, std::uint32_t, std::uint32_t, double d) { expr; } \
    }
#define IGNORED(H, name)                                                                        \
    Key<H> {                                                                                    \
        Form::Plain, name "=", Value::Unsigned, [](H&, std::uint32_t, std::uint32_t, double) {} \
    }
#define INLET_KEY(H, name, kind, expr)                                                      \
    Key<H> {                                                                                \
        Form::Inlet, name "=", kind, [](H& h, std::uint32_t i, std::uint32_t u, double d) { \
            (void)u;                                                                        \
            (void)d;                                                                        \
            expr;                                                                           \
        }                                                                                   \
    }
#define THERMISTOR_KEYS(H, n, t)                                        \
    U_KEY(H, "THERMISTOR_INPUT_CHANNEL." #n, h.t.inputChannel = U8(u)), \
        F_KEY(H, "THERMISTOR_CAL_A." #n, h.t.calA = F32(d)),            \
        F_KEY(H, "THERMISTOR_CAL_B." #n, h.t.calB = F32(d)),            \
        F_KEY(H, "THERMISTOR_CAL_C." #n, h.t.calC = F32(d)),            \
        F_KEY(H, "THERMISTOR_CAL_D." #n, h.t.calD = F32(d))

using N = NutrientHeader;
const Key<N> NUTRIENT_KEYS[] = {
    U_KEY(N, "TYPE", h.chemistryType = U8(u)),
    U_KEY(N, "SENSOR_VERSION", h.params.sensorVersion = U8(u)),
    U_KEY(N, "MEASUREMENT_CHANNEL_MEDIUM", h.params.measureChannel[PATH_MEDIUM] = U8(u)),
    U_KEY(N, "MONITORING_CHANNEL_MEDIUM", h.params.monitorChannel[PATH_MEDIUM] = U8(u)),
    U_KEY(N, "MEASUREMENT_CHANNEL_SHORT", h.params.measureChannel[PATH_SHORT] = U8(u)),
    U_KEY(N, "MONITORING_CHANNEL_SHORT", h.params.monitorChannel[PATH_SHORT] = U8(u)),
    U_KEY(N, "MEASUREMENT_CHANNEL_LONG", h.params.measureChannel[PATH_LONG] = U8(u)),
    U_KEY(N, "MONITORING_CHANNEL_LONG", h.params.monitorChannel[PATH_LONG] = U8(u)),
    U_KEY(N, "OUTPUT_CHANNEL_SELECTION", h.params.outputChannel = U8(u)),
    U_KEY(N, "SAMPLE_INTAKE_STATE", h.params.sampleIntakeState = U8(u)),
    U_KEY(N, "SAMPLE_MEASUREMENT_STATE", h.params.sampleMeasureState = U8(u)),
    U_KEY(N, "BLANK_MEASUREMENT_STATE", h.params.blankMeasureState = U8(u)),
    U_KEY(N, "STANDARD1_MEASUREMENT_STATE", h.params.standard1State = U8(u)),
    U_KEY(N, "STANDARD2_MEASUREMENT_STATE", h.params.standard2State = U8(u)),
    F_KEY(N, "STANDARD1_CONCENTRATION",
          h.params.standard1Conc = protocol::ConcentrationToStored(d)),
    F_KEY(N, "STANDARD2_CONCENTRATION",
          h.params.standard2Conc = protocol::ConcentrationToStored(d)),
    U_KEY(N, "STANDARD_ADJUSTMENT", h.params.standardAdjustment = U8(u)),
    U_KEY(N, "PROCESSING_TRIGGER", h.params.processingTrigger = U8(u)),
    U_KEY(N, "ENABLE_OPTICAL_CORRECTION", h.params.opticalCorrection = U8(u)),
    U_KEY(N, "OC_SAMPLE_MEASUREMENT_STATE", h.params.opticalCorrSampleState = U8(u)),
    U_KEY(N, "OC_BLANK_MEASUREMENT_STATE", h.params.opticalCorrBlankState = U8(u)),
    U_KEY(N, "SAMPLE_PARAM_P1", h.params.sampleParam[0] = U8(u)),
    U_KEY(N, "SAMPLE_PARAM_P2", h.params.sampleParam[1] = U8(u)),
    U_KEY(N, "SAMPLE_PARAM_P3", h.params.sampleParam[2] = U8(u)),
    IGNORED(N, "INPUT_CHANNEL"),
    IGNORED(N, "ENABLE_DRIFT_CORRECTION_STATE"),
    IGNORED(N, "DRIFT_MONITORING_CHANNEL"),
    Key<N>{Form::Name, NAME_PREFIX, Value::Unsigned,
           [](N&, std::uint32_t, std::uint32_t, double) {}},
};

using P = PhHeader;
const Key<P> PH_KEYS[] = {
    U_KEY(P, "TYPE", h.chemistryType = U8(u)),
    U_KEY(P, "SENSOR_VERSION", h.params.sensorVersion = U8(u)),
    U_KEY(P, "SAMPLE_INTAKE_STATE", h.params.sampleIntakeState = U8(u)),
    U_KEY(P, "SAMPLE_MEASUREMENT_STATE", h.params.sampleMeasureState = U8(u)),
    U_KEY(P, "SAMPLE_INTERVAL", h.sampleIntervalMs = u),
    U_KEY(P, "INPUT_CHANNEL_434", h.params.inputChannelBlue = U8(u)),
    U_KEY(P, "INPUT_CHANNEL_578", h.params.inputChannelYellow = U8(u)),
    U_KEY(P, "BLANK_START_OFFSET", h.params.blankStartOffsetS = U16(u)),
    U_KEY(P, "BLANK_END_OFFSET", h.params.blankEndOffsetS = U16(u)),
    F_KEY(P, "ABSORBANCE_MIN_434", h.params.absorbanceMinBlue = F32(d)),
    F_KEY(P, "ABSORBANCE_MAX_578", h.params.absorbanceMaxYellow = F32(d)),
    F_KEY(P, "DPH_BY_DT", h.params.dpHdT = F32(d)),
    F_KEY(P, "R_ADJUSTMENT_SCALE", h.params.rAdjustScale = F32(d)),
    F_KEY(P, "R_ADJUSTMENT_OFFSET", h.params.rAdjustOffset = F32(d)),
    F_KEY(P, "T1_ADJUSTMENT_SCALE", h.params.thermistor1Scale = F32(d)),
    F_KEY(P, "T2_ADJUSTMENT_SCALE", h.params.thermistor2Scale = F32(d)),
    THERMISTOR_KEYS(P, 0, thermistor[0]),
    THERMISTOR_KEYS(P, 1, thermistor[1]),
};

using T = TaHeader;
const Key<T> TA_KEYS[] = {
    U_KEY(T, "TYPE", h.chemistryType = U8(u)),
    U_KEY(T, "SENSOR_VERSION", h.params.sensorVersion = U8(u)),
    U_KEY(T, "SAMPLE_INTAKE_STATE", h.params.sampleIntakeState = U8(u)),
    U_KEY(T, "PROCESSING_TRIGGER", h.params.processingTrigger = U8(u)),
    THERMISTOR_KEYS(T, 0, thermistor[0]),
    THERMISTOR_KEYS(T, 1, thermistor[1]),
    U_KEY(T, "MEASUREMENT_CHANNEL", h.params.measureChannel = U8(u)),
    U_KEY(T, "MONITORING_CHANNEL_LED1", h.params.monitorChannelLed1 = U8(u)),
    U_KEY(T, "MONITORING_CHANNEL_LED2", h.params.monitorChannelLed2 = U8(u)),
    U_KEY(T, "BLANK_MEASUREMENT_STATE_LED1", h.params.blankMeasureStateLed1 = U8(u)),
    U_KEY(T, "BLANK_MEASUREMENT_STATE_LED2", h.params.blankMeasureStateLed2 = U8(u)),
    U_KEY(T, "SAMPLE_MEASUREMENT_STATE_LED1", h.params.sampleMeasureStateLed1 = U8(u)),
    U_KEY(T, "SAMPLE_MEASUREMENT_STATE_LED2", h.params.sampleMeasureStateLed2 = U8(u)),
    F_KEY(T, "CT", h.params.temperatureCoefficient = F32(d)),
    F_KEY(T, "ACID_MOLARITY", h.params.titrantMolarity = F32(d)),
    F_KEY(T, "pKa", h.params.pKa = F32(d)),
    F_KEY(T, "e1", h.params.e1 = F32(d)),
    F_KEY(T, "e2", h.params.e2 = F32(d)),
    F_KEY(T, "e3", h.params.e3 = F32(d)),
};

using D = DicHeader;
const Key<D> DIC_KEYS[] = {
    U_KEY(D, "TYPE", h.chemistryType = U8(u)),
    U_KEY(D, "SENSOR_VERSION", h.params.sensorVersion = U8(u)),
    THERMISTOR_KEYS(D, 0, thermistor),
    INLET_KEY(D, ".TYPE", Value::Unsigned, h.params.inlet[i].type = U8(u)),
    INLET_KEY(D, ".INTAKE_STATE", Value::Unsigned, h.params.inlet[i].intakeState = U8(u)),
    INLET_KEY(D, ".MEASUREMENT_STATE", Value::Unsigned, h.params.inlet[i].measureState = U8(u)),
    INLET_KEY(D, ".CRM_VALUE", Value::Double, h.params.inlet[i].crmValue = F32(d)),
};

#undef U_KEY
#undef F_KEY
#undef IGNORED
#undef INLET_KEY
#undef THERMISTOR_KEYS

}  // namespace

NutrientHeader DefaultNutrientHeader() {
    NutrientHeader h;
    // Cleared: the record's own defaults (form 2, medium path, channels 0..2) do not apply here.
    h.params.recordForm = 0;
    h.params.outputChannel = 0;
    h.params.measureChannel = {0, 0, 0};
    h.params.monitorChannel = {protocol::CHANNEL_NONE, protocol::CHANNEL_NONE,
                               protocol::CHANNEL_NONE};
    return h;
}

PhHeader DefaultPhHeader() {
    PhHeader h;
    h.params = protocol::PhProcessing{};
    h.params.recordForm = 0;
    h.params.thermistor1Scale = 0.5f;
    h.params.thermistor2Scale = 0.5f;
    return h;
}

TaHeader DefaultTaHeader() {
    return TaHeader{};
}
DicHeader DefaultDicHeader() {
    return DicHeader{};
}

bool ReadNutrientHeader(RawFile& file, NutrientHeader& header) {
    return ReadHeader<N>(file, header, DefaultNutrientHeader(), NUTRIENT_KEYS, true);
}
bool ReadPhHeader(RawFile& file, PhHeader& header) {
    return ReadHeader<P>(file, header, DefaultPhHeader(), PH_KEYS, false);
}

bool ReadPhHeader(RawFile& file, PhHeader& header, const RunControl& control, bool& cancelled) {
    cancelled = false;
    return ReadHeader<P>(file, header, DefaultPhHeader(), PH_KEYS, false, &control, &cancelled);
}
bool ReadTaHeader(RawFile& file, TaHeader& header) {
    return ReadHeader<T>(file, header, DefaultTaHeader(), TA_KEYS, true);
}
bool ReadDicHeader(RawFile& file, DicHeader& header) {
    return ReadHeader<D>(file, header, DefaultDicHeader(), DIC_KEYS, true);
}

}  // namespace velacor::processing
