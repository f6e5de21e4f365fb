// Reading the configuration file into the slot table and the settings.
#pragma once

namespace kob {

constexpr const char* defaultConfigPath = "./Gauges/kob_vorlo.ini";

// Fills GaugeState and SlotTable from the INI file that parameter names (the
// default path when it is empty) and registers every variable the slots use.
void readConfiguration(const char* parameter);

// A text's leading decimal integer as the C runtime reads it: white space,
// one optional sign, digits up to the first other character; 0 without digits.
int parseLeadingInteger(const char* text);

// A text's leading decimal number: white space, an optional sign, digits with
// an optional fraction and exponent; 0 when no number is there.
double parseLeadingDecimal(const char* text);

}  // namespace kob
