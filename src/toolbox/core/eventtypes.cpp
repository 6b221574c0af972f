// The two sorted tables of event parameter names and type sizes.
#include "toolbox/core/eventtypes.h"

#include <algorithm>

namespace {
constexpr uint32_t kPointerSize = uint32_t(sizeof(void*));

// Binary search of a table sorted by its `Key` field.
template <typename Entry, uint32_t Entry::*Key>
const Entry* FindSorted(const Entry* table, size_t count, uint32_t key) {
    const Entry* end = table + count;
    const Entry* at =
        std::lower_bound(table, end, key, [](const Entry& e, uint32_t k) { return e.*Key < k; });
    return (at != end && (*at).*Key == key) ? at : nullptr;
}
} // namespace

const EventParamNameEntry EventParamNameTable[] = {
    {FourCC("1sto"), FourCC("bool")}, {FourCC("DrpC"), FourCC("shor")},
    {FourCC("DrpI"), FourCC("shor")}, {FourCC("attr"), FourCC("magn")},
    {FourCC("caup"), FourCC("caup")}, {FourCC("ccnt"), FourCC("magn")},
    {FourCC("clac"), FourCC("clac")}, {FourCC("cmsg"), FourCC("shor")},
    {FourCC("cmtm"), FourCC("long")}, {FourCC("cprm"), FourCC("long")},
    {FourCC("cprt"), FourCC("cprt")}, {FourCC("crct"), FourCC("qdrt")},
    {FourCC("crsl"), FourCC("long")}, {FourCC("ctrl"), FourCC("ctrl")},
    {FourCC("dims"), FourCC("QDpt")}, {FourCC("enab"), FourCC("bool")},
    {FourCC("evnt"), FourCC("evrf")}, {FourCC("evti"), FourCC("shor")},
    {FourCC("fork"), FourCC("bool")}, {FourCC("graf"), FourCC("graf")},
    {FourCC("grct"), FourCC("qdrt")}, {FourCC("hcmd"), FourCC("hcmd")},
    {FourCC("item"), FourCC("midx")}, {FourCC("kchr"), FourCC("TEXT")},
    {FourCC("kcod"), FourCC("magn")}, {FourCC("kmod"), FourCC("magn")},
    {FourCC("mbtn"), FourCC("mbtn")}, {FourCC("mcmd"), FourCC("mcmd")},
    {FourCC("mctx"), FourCC("magn")}, {FourCC("mdrs"), FourCC("magn")},
    {FourCC("mdta"), FourCC("QDpt")}, {FourCC("menu"), FourCC("menu")},
    {FourCC("meop"), FourCC("meop")}, {FourCC("micb"), FourCC("qdrt")},
    {FourCC("mitb"), FourCC("qdrt")}, {FourCC("mith"), FourCC("shor")},
    {FourCC("mitp"), FourCC("tmit")}, {FourCC("mitw"), FourCC("shor")},
    {FourCC("mloc"), FourCC("QDpt")}, {FourCC("mwax"), FourCC("mwax")},
    {FourCC("mwdl"), FourCC("long")}, {FourCC("orct"), FourCC("qdrt")},
    {FourCC("prct"), FourCC("qdrt")}, {FourCC("rgnh"), FourCC("rgnh")},
    {FourCC("wdpc"), FourCC("wdpt")}, {FourCC("wftr"), FourCC("magn")},
    {FourCC("wind"), FourCC("wind")}, {FourCC("wmff"), FourCC("bool")},
    {FourCC("wscf"), FourCC("magn")}, {FourCC("wshp"), FourCC("wshp")},
};
const size_t kEventParamNameCount = sizeof(EventParamNameTable) / sizeof(EventParamNameTable[0]);

const EventTypeSizeEntry EventTypeSizeTable[] = {
    {FourCC("QDpt"), 4},
    {FourCC("TEXT"), 1},
    {FourCC("bool"), 1},
    {FourCC("caup"), 4},
    {FourCC("clac"), 4},
    {FourCC("cprt"), 2},
    {FourCC("ctrl"), kPointerSize},
    {FourCC("evrf"), kPointerSize},
    {FourCC("graf"), kPointerSize},
    {FourCC("hcmd"), uint32_t(sizeof(EventCommandRecord))},
    {FourCC("long"), 4},
    {FourCC("magn"), 4},
    {FourCC("mbtn"), 2},
    {FourCC("mcmd"), 2},
    {FourCC("menu"), kPointerSize},
    {FourCC("meop"), 4},
    {FourCC("midx"), 2},
    {FourCC("mtmd"), 4},
    {FourCC("mwax"), 2},
    {FourCC("qdrt"), 8},
    {FourCC("rgnh"), kPointerSize},
    {FourCC("shor"), 2},
    {FourCC("tmit"), 2},
    {FourCC("type"), 4},
    {FourCC("void"), 4},
    {FourCC("wdpt"), 2},
    {FourCC("wind"), kPointerSize},
    {FourCC("wshp"), 2},
};
const size_t kEventTypeSizeCount = sizeof(EventTypeSizeTable) / sizeof(EventTypeSizeTable[0]);

uint32_t EventParamTypeOfName(uint32_t name) {
    const EventParamNameEntry* e = FindSorted<EventParamNameEntry, &EventParamNameEntry::name>(
        EventParamNameTable, kEventParamNameCount, name);
    return e ? e->type : 0;
}

uint32_t EventTypeSize(uint32_t type) {
    const EventTypeSizeEntry* e = FindSorted<EventTypeSizeEntry, &EventTypeSizeEntry::type>(
        EventTypeSizeTable, kEventTypeSizeCount, type);
    return e ? e->size : 0;
}
