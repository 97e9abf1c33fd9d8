// The bytes of a settings file written by hand, entry by entry in the order
// given, as the game writes one: for tests that need an order, a count or a
// damage the game itself would never write.
#pragma once

#include "tsl2/memstream.h"
#include "tsl2/objectstreamer.h"
#include "tsl2/str.h"
#include "tsl2/zstream.h"

#include <string>
#include <utility>
#include <vector>

inline std::string settingsBytes(const std::vector<std::pair<std::string, std::string>>& entries) {
    Tsl::MemStream bytes;
    {
        Tsl::ZStream zip(&bytes, 9);
        Tsl::ObjectStreamer streamer(&zip, false);
        streamer.writeHeader("SET", 1);
        streamer.write(int(entries.size()));
        for (const auto& entry : entries) {
            streamer.write(Tsl::String(entry.first.data(), int(entry.first.size())));
            streamer.write(Tsl::String(entry.second.data(), int(entry.second.size())));
        }
        zip.close();
    }
    return std::string(reinterpret_cast<const char*>(bytes.getData()), size_t(bytes.getSize()));
}
