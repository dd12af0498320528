// The program's name and version, for every caption, title and file that
// shows them. The version comes from the build (the project's version).
#pragma once

#include <QString>

#ifndef TARVEL_VERSION
#error "TARVEL_VERSION comes from the build"
#endif

namespace tarvel {

inline const QString kProgramName = QStringLiteral("Тарвел");
inline const QString kProgramVersion = QStringLiteral(TARVEL_VERSION);
// "Тарвел 3.0": the window caption at start, the about box, the help page.
inline const QString kProgramTitle = kProgramName + QLatin1Char(' ') + kProgramVersion;

} // namespace tarvel
