// Synthetic raw output files built from known true values.
//
// The generator writes a file exactly as the sensor writes one on its memory card: the
// "%VELACOR.HEADER_START" ... "%VELACOR.HEADER_END" header with the chemistry's processing keys,
// the "%Counter,..." column heading line, then one data row per sample interval (20 fields, or
// the older 15). Every measurement cycle is built from one true value: a nutrient concentration,
// an in-situ pH, a total alkalinity or a DIC. Offline processing of the file must give that value
// back: to the rounding of the written digits without noise, within a tolerance with noise.
// The true values come back beside the file, one per cycle.
//
// Every number goes through the text the file holds: channel voltages have 6 decimals, and the
// generator builds each cycle from the rounded values the processing will read (thermistor
// voltages, platform salinity and temperature, the f32 header constants).
//
// Rows are formatted into a 1 MB buffer that is handed on whenever it fills, so memory stays
// constant apart from the truth list (one entry per cycle), whatever the size of the file.
// Generation is deterministic: the same options give the same bytes.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velacor::rawgen {

enum class Chemistry { Nutrient, Ph, Ta, Dic };

struct Options {
    Chemistry chemistry = Chemistry::Nutrient;
    std::uint8_t nutrientType = 1;  // 1 Nitrate, 2 Phosphate, 3 Silicate, 5 Nitrite, 6 Iron
    unsigned cycles = 10;           // measurement cycles (truth entries); unused with minBytes
    std::uint64_t minBytes = 0;     // > 0: add cycles until at least this many bytes
    double noise = 0;               // relative Gaussian noise on intensities (0: exact)
    std::uint32_t seed = 1;         // true values and noise; noise never changes the truth
    std::uint32_t sampleIntervalMs = 1000;  // 1..1000; state durations are fixed in seconds
    bool shortRows = false;                 // the older 15-field rows (not for pH)
    std::string sensorName;                 // "%VELACOR.CORE.SENSOR_NAME=" line when not empty
};

struct CycleTruth {
    std::uint32_t sensorTime = 0;    // of the cycle's first sample intake row
    std::uint32_t platformTime = 0;  // of the same row
    // Nutrient: µM. pH: at the platform temperature (the reported pH). TA, DIC: µmol/kg.
    double value = 0;
};

struct Generated {
    std::uint64_t bytes = 0;
    std::uint64_t rows = 0;  // data rows
    std::vector<CycleTruth> truth;
};

// Streams the file to `write` in blocks of exactly 1 MiB (the last one shorter). Throws
// std::invalid_argument for options that cannot make a valid file: a nutrient type that is
// not a nutrient, 15-field rows for pH, a sample interval outside 1..1000 ms, a negative noise,
// or a sensor name holding a line break.
Generated Generate(const Options& options, const std::function<void(std::string_view)>& write);
std::string GenerateString(const Options& options, Generated* info = nullptr);
// Writes the file at `path`, replacing it once complete; throws std::runtime_error on an I/O
// error, leaving an existing file at `path` as it was.
Generated GenerateFile(const Options& options, const std::string& path);

// "1048576", "64K", "100M", "1G" (binary multiples); nothing for anything else.
std::optional<std::uint64_t> ParseByteSize(std::string_view text);

// ---- What the files hold ---------------------------------------------------------------------

inline constexpr std::uint32_t START_TIME = 1767225600;   // 2026-01-01 00:00:00 UTC
inline constexpr std::uint32_t PLATFORM_CLOCK_AHEAD = 2;  // platform time - sensor time, s
inline constexpr std::uint8_t FLUSH_STATE = 0;            // pumping between measurements
inline constexpr std::uint8_t NO_CHANNEL = 255;
inline constexpr std::uint8_t NO_STATE = 255;

// A thermistor calibration: T = a·v³ + b·v² + c·v + d (°C) of the voltage v on `channel`. The
// coefficients are exact in single precision, as the header readers store them.
struct ThermistorCal {
    std::uint8_t channel = 0;
    float a = 0;
    float b = 0;
    float c = 0;
    float d = 0;
    double Temperature(double volts) const;
    // The voltage in 0.5..2.8 V that reads `celsius` (about -3..34 °C for both calibrations).
    double VoltsFor(double celsius) const;
};
inline constexpr ThermistorCal THERMISTOR_1{6, 0.25f, -1.5f, -14.0f, 42.0f};
inline constexpr ThermistorCal THERMISTOR_2{7, 0.25f, -1.25f, -15.0f, 43.0f};

// Nutrient files: paths Long, Medium, Short on channels 0, 1, 2 without monitoring; a cycle is
// blank, standard 1, standard 2, sample intake, sample (20 s each, intake 15 s), with flush rows
// between. Intensities follow Beer-Lambert on each path and are steady through each
// measurement state. The result is taken on leaving the sample state, from the Medium path,
// with a linear fit through both standards.
struct NutrientSetup {
    std::uint8_t type = 1;
    std::uint8_t intakeState = 1;
    std::uint8_t blankState = 2;
    std::uint8_t standard1State = 3;
    std::uint8_t sampleState = 4;
    std::uint8_t standard2State = 5;
    std::uint8_t longChannel = 0;
    std::uint8_t mediumChannel = 1;
    std::uint8_t shortChannel = 2;
    std::uint8_t monitorChannel = NO_CHANNEL;          // all three paths
    std::uint8_t outputChannel = 1;                    // Medium
    std::uint8_t standardAdjustment = 2;               // Linear Fit
    std::uint8_t processingTrigger = 2;                // Sample
    std::array<std::uint8_t, 3> sampleParam{1, 5, 9};  // Medium, Short, Long concentrations
    std::uint32_t standard1 = 0;  // µM × 1000, as the header reader stores it
    std::uint32_t standard2 = 0;
    double absorbancePerMicromolar = 0;  // over the long path
    double lengthLong = 1.0;             // path lengths relative to the long path
    double lengthMedium = 0.35;
    double lengthShort = 0.1;
};
// Throws std::invalid_argument for a code that is not a nutrient.
NutrientSetup NutrientSetupFor(std::uint8_t type);

// pH files: 20 s intake, then the 240 s sample measurement state with its blank from 5 to 25 s,
// the dye injected at 35 s, and its mixing pulse (A578 peaks near 1.0 after 30 s, then washes
// out), then 20 s flush. A578 = R·A434 throughout, R giving the cycle's pH at the temperature
// the thermistors read; the fit window from A578 = 0.7 down to A434 = 0.15 spans 30 s or more.
struct PhSetup {
    std::uint8_t intakeState = 1;
    std::uint8_t measureState = 2;
    std::uint8_t channel434 = 1;
    std::uint8_t channel578 = 2;
    std::uint16_t blankStartS = 5;
    std::uint16_t blankEndS = 25;
    float absorbanceMin434 = 0.15f;
    float absorbanceMax578 = 0.7f;
    float dpHdT = -0.0158f;
    float rScale = 1.0f;
    float rOffset = 0.0f;
    float t1Weight = 0.5f;
    float t2Weight = 0.5f;
    ThermistorCal thermistor1 = THERMISTOR_1;
    ThermistorCal thermistor2 = THERMISTOR_2;
};
inline constexpr PhSetup PH_SETUP{};

// TA files: intake, blank LED1, blank LED2, acid and indicator mixing, sample LED1, sample
// LED2, flush; the result is taken on leaving sample LED2. The LED1 absorbance is about 0.55;
// the LED2 absorbance follows from the cycle's TA at the temperature the thermistors read.
struct TaSetup {
    std::uint8_t intakeState = 1;
    std::uint8_t blankLed1State = 2;
    std::uint8_t blankLed2State = 3;
    std::uint8_t sampleLed1State = 4;
    std::uint8_t sampleLed2State = 5;
    std::uint8_t mixState = 6;
    std::uint8_t processingTrigger = 3;  // Sample (LED2)
    std::uint8_t measureChannel = 0;
    std::uint8_t monitorLed1 = 3;
    std::uint8_t monitorLed2 = 4;
    float ct = 0.0025f;
    float acidMolarity = 0.022f;
    float pKa = 4.416f;
    float e1 = 0.00131f;
    float e2 = 2.3135f;
    float e3 = 0.1342f;
    ThermistorCal thermistor1 = THERMISTOR_1;
    ThermistorCal thermistor2 = THERMISTOR_2;
};
inline constexpr TaSetup TA_SETUP{};

// DIC files: inlet 0 carries the CRM, inlet 1 the sample, inlet 2 is unused; a CRM run comes
// before every fourth sample, starting with the first. In each 75 s measurement the conductivity
// on channel 0 holds its baseline for 10 s, rises by a step proportional to the DIC for 25 s and
// then stays flat, so the mean of the last 30 rows less the window's minimum is the step. The
// response (volts per µmol/kg) drifts only at CRM runs, so each sample sees its CRM's response.
struct DicSetup {
    std::uint8_t crmInlet = 0;
    std::uint8_t sampleInlet = 1;
    std::uint8_t unusedInlet = 2;
    std::uint8_t sampleIntakeState = 1;
    std::uint8_t sampleMeasureState = 2;
    std::uint8_t crmIntakeState = 3;
    std::uint8_t crmMeasureState = 4;
    float crmValue = 2015.5f;  // µmol/kg
    unsigned samplesPerCrm = 4;
    ThermistorCal thermistor = THERMISTOR_1;
};
inline constexpr DicSetup DIC_SETUP{};

// ---- The processing equations the files are built backwards from ----------------------------

// pH on the total scale from the measured absorbance ratio R at cell temperature `celsius` and
// salinity `s` (meta-cresol purple), after the sensor's ratio adjustment R' = scale·R + offset.
// NaN when R' is outside the domain of the equations.
double PhFromRatio(double r, double celsius, double s, float rScale, float rOffset);
// The measured ratio R that gives `ph`: the inverse of PhFromRatio.
double RatioForPh(double ph, double celsius, double s, float rScale, float rOffset);

// TA (µmol/kg) from the LED1 and LED2 absorbances and the cell temperature.
double TaFromAbsorbances(double a1, double a2, double celsius, const TaSetup& setup);
// The ratio A2/A1 that gives `ta`: the inverse of TaFromAbsorbances. NaN when the acid cannot
// titrate that much alkalinity or the indicator cannot show the resulting pH.
double AbsorbanceRatioForTa(double ta, double celsius, const TaSetup& setup);

}  // namespace velacor::rawgen
