// The 84-entry accelerator table: defaults, and its stored form in section "Akey". Portable.
#pragma once
#include <array>
#include <cstdint>

#include "core/settings/profile.h"

namespace pelio {

// Modifier flags as the Windows ACCEL structure defines them.
inline constexpr uint8_t kAccelVirtKey = 1;
inline constexpr uint8_t kAccelShift = 4;
inline constexpr uint8_t kAccelControl = 8;
inline constexpr uint8_t kAccelAlt = 16;

struct Accel {
    uint8_t flags = kAccelVirtKey;
    uint16_t key = 0;  // virtual-key code; 0: no key assigned
    uint16_t command = 0;
    friend bool operator==(const Accel&, const Accel&) = default;
};

inline constexpr int kAccelCount = 84;
using AccelTable = std::array<Accel, kAccelCount>;

// The defaults, in the fixed order that the stored form follows.
const AccelTable& DefaultAccelerators();

// "SaveKey" is 84 records of three little-endian 32-bit integers: flags, key, command.
inline constexpr size_t kAccelRecordSize = 12;
inline constexpr size_t kStoredAccelSize = kAccelCount * kAccelRecordSize;
using StoredAccelerators = std::array<uint8_t, kStoredAccelSize>;

StoredAccelerators EncodeAccelerators(const AccelTable& table);
// Merges stored records into the defaults: the entry with a record's command takes its flags
// and key (flags above 15 become kAccelVirtKey, keys of 256 or more become 0); records for
// unknown commands are ignored.
AccelTable MergeAccelerators(const StoredAccelerators& stored);

// Reads "Akey"/"SaveKey"; the defaults when it is missing or damaged.
AccelTable ReadStoredAccelerators(ProfileStore& store);
// Deletes the section "Akey" and writes the table as "SaveKey".
void WriteStoredAccelerators(ProfileStore& store, const AccelTable& table);

}  // namespace pelio
