#include "catalogue/RegisterPod.h"

#include <array>

namespace vantelo::RegisterPod {

namespace {

struct SeedRow {
    std::uint8_t type;
    std::uint8_t reply;
    const char* name;
    const char* bootName; // nullptr: the list name serves as boot name
};

// Trailing blanks are part of the names.
constexpr std::array<SeedRow, 31> Seed{{
    {0, 0x11, "Lumo Basic ", "LUMOB "},
    {1, 0x22, "Lumo Plus ", "LUMOP "},
    {2, 0x33, "Lumo Dual", "LUMOD"},
    {3, 0x44, "Sarn Relay ", "SARNR "},
    {4, 0x55, "Sarn Relay 8 ", "SARNR8 "},
    {5, 0x66, "Tessel Keypad ", "TESKP "},
    {6, 0x77, "Tessel Keypad XL ", "TESKPX "},
    {7, 0x88, "Oxa IR Pod ", "OXA MAIN "},
    {8, 0x99, "Oxa IR Pod ", "OXA IR "},
    {9, 0xAA, "Brevin Dimmer ", "BRVDIM "},
    {10, 0xBB, "Brevin Dimmer 4 ", "BRVDIM4 "},
    {12, 0xCC, "Halden Sensor ", nullptr},
    {13, 0xDD, "Velim Pod ", "VELIM BOOT "},
    {14, 0xEE, "Velim Pod Mk2 ", "VELIM2 "},
    {15, 0x1E, "Corra Switch ", "CORSW"},
    {16, 0x1D, "Corra Switch 2 ", nullptr},
    {17, 0x1C, "Corra Switch 4 ", nullptr},
    {18, 0x20, "Pellan Timer ", "PELTMR"},
    {19, 0x21, "Pellan Timer 2 ", nullptr},
    {20, 0x23, "Ostrin Gateway ", "OSTGW"},
    {21, 0x24, "Ostrin Gateway 2 ", "OSTGW2 "},
    {22, 0x25, "Marrow Display ", "MRWDSP "},
    {23, 0x15, "Marrow Display S ", nullptr},
    {24, 0x16, "Marrow Display L ", nullptr},
    {25, 0x17, "Quill Sounder ", nullptr},
    {26, 0x18, "Quill Sounder Pro ", "QSNDP"},
    {27, 0x19, "Rend Beacon ", nullptr},
    {28, 0x26, "Rend Beacon Plus ", "RBCNP "},
    {29, 0x27, "Tamsin Link ", nullptr},
    {30, 0x28, "Tamsin Link Pro", "TAMLP"},
    {31, 0x29, "Fenwold Hub ", "FENHUB "},
}};

} // namespace

PodCatalogue LoadDefaultPodTypes()
{
    PodCatalogue PodTypes;
    for (const SeedRow& row : Seed)
        PodTypes.push_back(PodTypeInfo{row.type, row.reply, row.name, row.bootName ? row.bootName : row.name});
    return PodTypes;
}

} // namespace vantelo::RegisterPod
