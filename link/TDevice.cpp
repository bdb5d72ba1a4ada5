#include "link/TDevice.h"

namespace {

struct TypeConstants
{
    const char *type;
    qint32 firstSlotWord;
    qint32 capacity;
    qint32 bank2Start;
};

constexpr TypeConstants Types[] = {
    {"TK71 2.1", 4, 123, 0},
    {"TK71", 0, 252, 496},
    {"TK71D", 0, 252, 496},
};

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

} // namespace

TDevice::TDevice(const QString &id, const QString &name, const QString &devType, const QString &connType,
                 const QString &compName, int port)
    : DevType(devType), PortNum(quint8(port & 0xFF)), ID(id), CompName(compName), Name(name), ConnType(connType)
{
    for (const TypeConstants &t : Types) {
        if (devType == QLatin1String(t.type)) {
            FirstSlotWord = t.firstSlotWord;
            Capacity = t.capacity;
            Bank2Start = t.bank2Start;
        }
    }
}

int TDevice::FirstTableSlots() const
{
    return Bank2Start > 0 ? (Bank2Start - FirstSlotWord) / WordsPerSlot : Capacity;
}

int TDevice::ControllerAddress(int imageIndex) const
{
    return Bank2Start > 0 && imageIndex >= Bank2Start ? imageIndex + Bank2AddressShift : imageIndex;
}

std::optional<int> TDevice::ImageIndex(int address) const
{
    int index = address;
    if (Bank2Start > 0 && address >= Bank2Start) {
        // Addresses between the banks belong to no image index.
        if (address < Bank2Start + Bank2AddressShift)
            return std::nullopt;
        index = address - Bank2AddressShift;
    }
    if (index < 0 || index >= ImageWords)
        return std::nullopt;
    return index;
}

bool StoreMediaID(TImage &image, int firstIndex, const QString &mediaId)
{
    if (firstIndex < 0 || firstIndex + TDevice::WordsPerSlot > TDevice::ImageWords)
        return false;
    if (mediaId.size() != 4 * TDevice::WordsPerSlot)
        return false;
    for (QChar c : mediaId) {
        if (!isHexDigit(c))
            return false;
    }
    for (int w = 0; w < TDevice::WordsPerSlot; ++w)
        image[size_t(firstIndex + w)] = quint16(mediaId.mid(4 * w, 4).toUInt(nullptr, 16));
    return true;
}

QString FormatSlot(const TImage &image, int slot)
{
    const int first = slot * TDevice::WordsPerSlot;
    if (slot < 0 || first + TDevice::WordsPerSlot > TDevice::ImageWords)
        return {};
    return QString::asprintf("%.4X%.4X%.4X%.4X", image[size_t(first)], image[size_t(first + 1)],
                             image[size_t(first + 2)], image[size_t(first + 3)]);
}
