#include "recording/UnsavedCopy.h"

#include <sys/stat.h>
#include <unistd.h>

namespace shakemeter {

std::string UnsavedMarkPath(const std::string& copyPath)
{
    return copyPath + ".unsaved";
}

bool WriteTemporaryCopy(const std::string& copyPath, std::string_view bytes, bool holdsUnsavedReading,
                        FileSystemCalls& calls, FileWriteError* error)
{
    if (!WriteFileAtomically(copyPath, bytes, calls, error))
        return false;
    const std::string mark = UnsavedMarkPath(copyPath);
    if (!holdsUnsavedReading) {
        calls.unlink(mark.c_str());
        return true;
    }
    struct stat info {};
    if (::stat(mark.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        return true;
    // The mark matters only by being there; it is written whole so that a crash cannot leave a
    // stray temporary file of it either.
    return WriteFileAtomically(mark, "unsaved reading\n", calls, error);
}

void ClearUnsavedMark(const std::string& copyPath)
{
    ::unlink(UnsavedMarkPath(copyPath).c_str());
}

bool CopyHoldsUnsavedReading(const std::string& copyPath)
{
    struct stat mark {};
    struct stat copy {};
    return ::stat(UnsavedMarkPath(copyPath).c_str(), &mark) == 0 && S_ISREG(mark.st_mode) &&
           ::stat(copyPath.c_str(), &copy) == 0 && S_ISREG(copy.st_mode) && copy.st_size > 0;
}

}  // namespace shakemeter
