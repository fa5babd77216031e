#pragma once
// Renders every window of the program, filled from a connect to the
// simulated gateway, into PNG files (for the documentation).

#include <QString>

namespace k400::ui {

// Returns 0 on success; prints what failed otherwise.
int RenderScreenshots(const QString& folder);

}  // namespace k400::ui
