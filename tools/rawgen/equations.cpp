// The processing equations of the pH and TA sensors, forward and backward, the thermistor
// calibration, and the nutrient constants the generated files use.
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "rawgen/raw_generator.h"

namespace velacor::rawgen {
namespace {

constexpr double NOT_A_NUMBER = std::numeric_limits<double>::quiet_NaN();
constexpr double KELVIN = 273.15;
constexpr double H_PLUS_WEIGHT = 9.819;  // TA = (acid - 9.819 [H+]) / 8.819
constexpr double TA_WEIGHT = 8.819;

struct IndicatorTerms {
    double e1;
    double e3OverE2;
    double minusLogK2e2;
};

// Meta-cresol purple on the total scale at temperature `kelvin` and salinity `s`.
IndicatorTerms MetaCresolPurple(double kelvin, double s) {
    IndicatorTerms terms;
    terms.e1 = -0.007762 + 4.5174e-5 * kelvin;
    terms.e3OverE2 = -0.020813 + 0.000260262 * kelvin + 0.00010436 * (s - 35.0);
    terms.minusLogK2e2 = (-246.64209 + 0.315971 * s + 0.00028855 * s * s) +
                         (7229.23864 - 7.098137 * s - 0.057034 * s * s) / kelvin +
                         (44.493382 - 0.052711 * s) * std::log(kelvin) - 0.0781344 * kelvin;
    return terms;
}

// The absorbance ratio brought to 25 °C by the cell's temperature coefficient.
double RatioTo25(const TaSetup& setup, double celsius) {
    return 1.0 + static_cast<double>(setup.ct) * (25.0 - celsius);
}

}  // namespace

double ThermistorCal::Temperature(double volts) const {
    const double v = volts;
    return static_cast<double>(a) * v * v * v + static_cast<double>(b) * v * v +
           static_cast<double>(c) * v + static_cast<double>(d);
}

double ThermistorCal::VoltsFor(double celsius) const {
    // The divider voltage falls as the water warms: bisect the falling curve.
    double low = 0.5;
    double high = 2.8;
    for (int i = 0; i < 80; ++i) {
        const double middle = 0.5 * (low + high);
        if (Temperature(middle) > celsius)
            low = middle;
        else
            high = middle;
    }
    return 0.5 * (low + high);
}

NutrientSetup NutrientSetupFor(std::uint8_t type) {
    NutrientSetup setup;
    setup.type = type;
    // Standards bracket the range each nutrient takes in the sea; the long path reads about
    // 0.8 at the upper standard.
    switch (type) {
        case 1:  // Nitrate
            setup.standard1 = 10000;
            setup.standard2 = 40000;
            setup.absorbancePerMicromolar = 0.02;
            return setup;
        case 2:  // Phosphate
            setup.standard1 = 500;
            setup.standard2 = 3000;
            setup.absorbancePerMicromolar = 0.25;
            return setup;
        case 3:  // Silicate
            setup.standard1 = 20000;
            setup.standard2 = 100000;
            setup.absorbancePerMicromolar = 0.008;
            return setup;
        case 5:  // Nitrite
            setup.standard1 = 500;
            setup.standard2 = 2000;
            setup.absorbancePerMicromolar = 0.4;
            return setup;
        case 6:  // Iron
            setup.standard1 = 200;
            setup.standard2 = 1000;
            setup.absorbancePerMicromolar = 0.7;
            return setup;
        default:
            throw std::invalid_argument("chemistry code " + std::to_string(type) +
                                        " is not a nutrient (1, 2, 3, 5 or 6)");
    }
}

double PhFromRatio(double r, double celsius, double s, float rScale, float rOffset) {
    const double kelvin = celsius + KELVIN;
    const double adjusted = static_cast<double>(rScale) * r + static_cast<double>(rOffset);
    const IndicatorTerms terms = MetaCresolPurple(kelvin, s);
    const double q = 1.0 - adjusted * terms.e3OverE2;
    if (std::fabs(q) <= 1e-11)
        return NOT_A_NUMBER;
    const double ratio = (adjusted - terms.e1) / q;
    if (!(ratio > 1e-11))
        return NOT_A_NUMBER;
    return terms.minusLogK2e2 + std::log10(ratio);
}

double RatioForPh(double ph, double celsius, double s, float rScale, float rOffset) {
    const IndicatorTerms terms = MetaCresolPurple(celsius + KELVIN, s);
    const double ratio = std::pow(10.0, ph - terms.minusLogK2e2);
    const double adjusted = (ratio + terms.e1) / (1.0 + ratio * terms.e3OverE2);
    return (adjusted - static_cast<double>(rOffset)) / static_cast<double>(rScale);
}

double TaFromAbsorbances(double a1, double a2, double celsius, const TaSetup& setup) {
    const double r = a2 / a1 * RatioTo25(setup, celsius);
    const double ph =
        static_cast<double>(setup.pKa) +
        std::log10((r - static_cast<double>(setup.e1)) /
                   (static_cast<double>(setup.e2) - r * static_cast<double>(setup.e3)));
    const double hydrogen = std::pow(10.0, -ph);
    return (static_cast<double>(setup.acidMolarity) - H_PLUS_WEIGHT * hydrogen) / TA_WEIGHT * 1e6;
}

double AbsorbanceRatioForTa(double ta, double celsius, const TaSetup& setup) {
    const double hydrogen =
        (static_cast<double>(setup.acidMolarity) - ta * 1e-6 * TA_WEIGHT) / H_PLUS_WEIGHT;
    if (!(hydrogen > 0))
        return NOT_A_NUMBER;
    // pH = pKa + log10((R - e1) / (e2 - R·e3)) solved for R.
    const double u = std::pow(10.0, -std::log10(hydrogen) - static_cast<double>(setup.pKa));
    const double r = (u * static_cast<double>(setup.e2) + static_cast<double>(setup.e1)) /
                     (1.0 + u * static_cast<double>(setup.e3));
    const double ratio = r / RatioTo25(setup, celsius);
    return ratio > 0 ? ratio : NOT_A_NUMBER;
}

}  // namespace velacor::rawgen
