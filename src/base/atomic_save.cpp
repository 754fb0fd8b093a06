#include "base/atomic_save.h"

#include <cstdio>
#include <fstream>

namespace velacor::base {

bool AtomicSave(const std::string& path, const std::function<bool(std::ostream&)>& write) {
    const std::string temp = path + ".tmp~";
    bool ok = false;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (out) {
            ok = write(out);
            out.flush();
            ok = ok && out.good();
        }
        // Closing flushes the last buffer; a failure there must also keep the target.
        out.close();
        ok = ok && !out.fail();
    }
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok)
        std::remove(temp.c_str());
    return ok;
}

}  // namespace velacor::base
