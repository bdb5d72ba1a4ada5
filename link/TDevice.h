#pragma once

#include <QString>

#include <array>
#include <optional>

// One word-addressed image of a controller's memory table: 1025 16-bit words.
using TImage = std::array<quint16, 1025>;
// Per-slot (or per-row) integers beside an image.
using TSlotFlags = std::array<qint32, 441>;

// A configured controller: where it is reached, what type it is, and its two images.
// Every number and flag is zero and every text empty until the constructor sets them.
class TDevice
{
public:
    static constexpr int ImageWords = 1025;
    static constexpr int FlagEntries = 441;
    static constexpr int WordsPerSlot = 4;
    // The second bank starts at controller address 1024, image index Bank2Start (496).
    static constexpr int Bank2AddressShift = 528;
    // A slot that holds no media ID.
    static constexpr quint16 EmptyWord = 0xFFFF;

    // PortNum keeps the low 8 bits of port. The type constants follow DevType, compared
    // exactly: "TK71 2.1", "TK71", "TK71D"; any other type has no table.
    TDevice(const QString &id, const QString &name, const QString &devType, const QString &connType,
            const QString &compName, int port);

    QString DevType;
    quint8 PortNum = 0;
    QString ID;
    QString CompName;
    QString Name;
    QString ConnType;
    TImage CtrlImage{};
    TImage DBImage{};
    TSlotFlags WriteFlags{};
    TSlotFlags ManualFlags{};
    TSlotFlags SlotStatus{};
    qint32 Capacity = 0;
    qint32 Bank2Start = 0;
    qint32 FirstSlotWord = 0;
    bool Compared = false;

    // Image indexes of the table: [TableBegin(), TableEnd()).
    int TableBegin() const { return FirstSlotWord; }
    int TableEnd() const { return FirstSlotWord + WordsPerSlot * Capacity; }
    // Image index of row's first word; rows count from the table's first slot.
    int RowIndex(int row) const { return FirstSlotWord + WordsPerSlot * row; }
    bool HasRow(int row) const { return row >= 0 && row < Capacity; }

    // The first and the second table: database rows of status 1 fill the first from its
    // start, rows of status 2 the second. A type with one bank has no second table.
    int FirstTableSlots() const;
    int SecondTableStart() const { return Bank2Start; }
    int SecondTableSlots() const { return Capacity - FirstTableSlots(); }

    // The controller address of an image index.
    int ControllerAddress(int imageIndex) const;
    // The image index of a controller address in an answer; none for an address that no
    // image index is sent as (the gap between the banks, or beyond the image).
    std::optional<int> ImageIndex(int address) const;
};

// Stores a media ID of 16 hexadecimal digits into the four words from firstIndex on,
// most significant word first. False, and nothing stored, for any other text or when
// the four words would not lie inside the image.
bool StoreMediaID(TImage &image, int firstIndex, const QString &mediaId);

// The four words of slot (image index div 4, from image index 0) as 16 upper-case
// hexadecimal digits; empty for a slot outside the image.
QString FormatSlot(const TImage &image, int slot);
