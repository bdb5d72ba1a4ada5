#pragma once

#include <QString>

// The Serbian texts of the list component, used by every list of the program.
namespace ListTexts {

inline const QString GroupByBox = QStringLiteral("Ovde mišem dovucite kolone po kojima želite da grupišete podatke");
inline const QString NoData = QStringLiteral("<Nema podataka za prikaz>");
inline const QString DeleteRecord = QStringLiteral("Brisanje sloga?");
inline const QString DeleteSelectedRecords = QStringLiteral("Brisanje svih izabranih slogova?");
inline const QString Confirm = QStringLiteral("Potvrda");
inline const QString Customization = QStringLiteral("Podešavanje kolona");
inline const QString HiddenColumns = QStringLiteral("Skrivene kolone");

} // namespace ListTexts
