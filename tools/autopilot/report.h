// The autopilot's report of a campaign: a Markdown table of every wave and a plot of money
// and shield through it.
#pragma once

#include <string>
#include <vector>

#include "game/autorun.h"

// The report: a Markdown table of every wave with totals per episode (to `md`), and a plot
// of money and shield through the campaign (to `png`); either may be empty. False when a
// file could not be written.
bool AUTO_WriteReport(const std::vector<AUTO_WAVE>& waves, const char* title, const std::string& md,
                      const std::string& png);
