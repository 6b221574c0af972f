// Fixture of the tests that write designs to files and load them back in
// either format: file names in the test's folder, loads settled as the
// driver settles them, and the dump under the options of comparisons
// across the formats.
#pragma once
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "asctest.h"
#include "db/dbdump.h"
#include "db/dbextent.h"
#include "dumpcompare.h"
#include "files/binload.h"

inline std::string Slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The fields of the first line where two dumps differ, both ways.
inline std::string DiffFields(const std::string& a, const std::string& b) {
    std::istringstream sa(a), sb(b);
    std::string la, lb;
    while (std::getline(sa, la) && std::getline(sb, lb)) {
        if (la == lb) continue;
        std::istringstream ta(la), tb(lb);
        std::string x, y, out;
        while (ta >> x && tb >> y)
            if (x != y) out += x + " | " + y + "\n";
        return out.empty() ? la + "\n" + lb : out;
    }
    return "";
}

inline std::string SamplePath() {
    return std::string(PLV_ASC_DATA) + "/../../../samples/board.asc";
}

class AscFileTest : public AscTest {
  protected:
    FileSpec Spec(const char* name) const {
        FileSpec s;
        std::memset(&s, 0, sizeof s);
        std::snprintf(s.folder, sizeof s.folder, "%s", m_folder.string().c_str());
        std::snprintf(s.name, sizeof s.name, "%s", name);
        return s;
    }
    // Writes the design as name and answers the file's bytes.
    std::string Write(const char* name, int32_t* result = nullptr) {
        FileSpec s = Spec(name);
        int32_t r = AscWriteDatabase(&s);
        if (result) *result = r;
        return Slurp(m_folder / name);
    }
    // Loads a file of the folder as the driver does, then extent and
    // validation.
    int32_t LoadAsc(const char* name, int32_t* errors = nullptr) {
        DbFree();
        FileSpec s = Spec(name);
        int32_t ok = AscReadDatabase(&s, errors);
        if (ok) Settle();
        return ok;
    }
    int32_t LoadBin(const char* name) {
        DbFree();
        FileSpec s = Spec(name);
        int32_t ok = BinLoadFile(&s, true);
        if (ok) Settle();
        return ok;
    }
    bool SaveBin(const char* name) {
        FileSpec s = Spec(name);
        return BinSave(&s, true);
    }
    static void Settle() {
        DbExtent();
        DbValidate();
    }
    // The dump under the options of comparisons across the formats.
    static std::string Dump(const std::vector<std::string>& alsoOmit = {}) {
        DbDumpOptions o;
        o.noRecordIds = true;
        o.refsByName = true;
        o.netsByName = true;
        o.omit = Losses();
        o.omit.insert(o.omit.end(), alsoOmit.begin(), alsoOmit.end());
        std::string out;
        DbDump(out, o);
        return out;
    }
    // The fields the format does not carry, and those that follow from them.
    static std::vector<std::string> Losses() {
        return {
            "Header.unitSize",  // kept to 10 decimals
            "Sweep.boxPercent", // derived on reading
        };
    }
};
