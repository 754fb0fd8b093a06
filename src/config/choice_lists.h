// The drop-down lists of the chemistry pages, each a (code, text) table in list order
// (base/value_table.h: a stored code missing from the table shows the first item).
#pragma once

#include "base/value_table.h"

namespace velacor::config {

inline constexpr base::ValueEntry MULTIPLEXERS[] = {{0, "None"}, {1, "pH"}};
inline constexpr base::ValueEntry SENSOR_VERSIONS[] = {{0, "None"}};
inline constexpr base::ValueEntry INPUT_CHANNELS[] = {{0, "0"}, {1, "1"}, {2, "2"}, {3, "3"},
                                                      {4, "4"}, {5, "5"}, {6, "6"}, {7, "7"}};
inline constexpr base::ValueEntry MONITOR_CHANNELS[] = {
    {255, "None"}, {0, "0"}, {1, "1"}, {2, "2"}, {3, "3"}, {4, "4"}, {5, "5"}, {6, "6"}, {7, "7"}};
inline constexpr base::ValueEntry OUTPUTS[] = {
    {1, "Medium"}, {2, "Short"}, {0, "Long"}, {254, "Adaptive"}};
inline constexpr base::ValueEntry ADJUSTMENTS[] = {
    {0, "Standard 1"}, {1, "Standard 2"}, {2, "Linear Fit"}};
inline constexpr base::ValueEntry TRIGGERS[] = {
    {0, "Standard 1"}, {1, "Standard 2"}, {2, "Sample"}, {3, "Blank"}};
// The values a nutrient sensor can send its platform as P1..P3.
inline constexpr base::ValueEntry TELEMETRY_PARAMETERS[] = {
    {1, "Sample Concentration - Medium Ch"}, {5, "Sample Concentration - Short Ch"},
    {9, "Sample Concentration - Long Ch"},   {4, "Sample Absorbance - Medium Ch"},
    {8, "Sample Absorbance - Short Ch"},     {12, "Sample Absorbance - Long Ch"},
    {17, "Std1 Absorbance - Medium Ch"},     {19, "Std1 Absorbance - Short Ch"},
    {21, "Std1 Absorbance - Long Ch"},       {22, "Sensor Measurement Counter"},
};

}  // namespace velacor::config
