#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct LinkTable;

// The six assignment dialogs differ only in what this table holds.
namespace AssignmentTable {

enum class Member {
    Groups, // TfrmAssignGroups: the focused person to groups
    Zones,  // TfrmAssignZones: the focused person to zones
    PG,     // TfrmAssignPG: persons to the focused group
    GZ,     // TfrmAssignGZ: the focused group to zones
    ZP,     // TfrmAssignZP: persons to the focused zone
    ZG,     // TfrmAssignZG: groups to the focused zone
};

struct MemberSetup
{
    Member member;
    QString objectName;
    QString caption;
    // The prompt is before + display name + after, trailing blanks as they stand.
    QString promptBefore;
    QString promptAfter;
    // Candidate query of TdmGZ; its parameter takes the focused master row's ID.
    QString candidates;
    QString parameter;
    QStringList columns;
    // Master list of TdmMain whose focused row is the other side of each link.
    QString master;
    const LinkTable *link;
    // Whether the candidate is the first key of the link table's row (the master the second).
    bool candidateFirst;
    QString errorText;
    // Lists of TdmMain re-read after the batch (those open), in order.
    QStringList rereads;
};

const QList<MemberSetup> &members();
const MemberSetup &member(Member member);

} // namespace AssignmentTable
