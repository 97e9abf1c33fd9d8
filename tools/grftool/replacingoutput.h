// A file that replaces its target only once it is complete.
#pragma once

#include "tsl2/str.h"

#include <string>

// Written under a temporary name beside the target and renamed over it by
// commit(): until then, and after any failure, the target is exactly as it
// was, and the temporary file is removed again. A target that is no plain file
// (a device such as /dev/null) is written directly; a folder is refused.
class ReplacingOutput {
public:
    // Raises Tsl::FileAccessException naming the target when it can't be
    // written: a folder, a file without write permission, a folder that takes
    // no new file.
    explicit ReplacingOutput(const std::string& sTarget);
    ~ReplacingOutput();

    // Where to write.
    Tsl::String getWritePath() const { return Tsl::String(m_sWritePath.c_str()); }
    // Puts the written file in place; raises when it can't.
    void commit();

private:
    ReplacingOutput(const ReplacingOutput&) = delete;
    ReplacingOutput& operator=(const ReplacingOutput&) = delete;

    std::string m_sTarget;    // as the user named it, for messages
    std::string m_sFinalPath; // the file it names, links resolved
    std::string m_sWritePath;
    bool m_bTemporary;
};
