#pragma once
// Output files that appear complete or not at all. An output is written
// under a name of its own beside the target (<target>.qtmv-XXXXXXXX.part),
// synced, and renamed over the target only when every write and the close
// worked; a failed or abandoned output leaves the target as it was. A writer
// killed half-way leaves only its part file, which the next output to that
// folder removes (a part a live writer still holds is left alone). No Qt.
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qtmv::files {

// Why an output could not be written. what() is the reason alone, for the
// user's message (the caller names the file): "寫入失敗（No space left on
// device）", "不是一般檔案，不會覆蓋".
class OutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Existing {
    Replace, // an existing target is replaced (when checkReplaceable allows it)
    Refuse,  // the target must not exist, neither now nor when the output is renamed
};

class AtomicFile {
public:
    // Checks the target, removes stale part files of killed writers in its
    // folder and creates this output's empty part file. Throws OutputError.
    explicit AtomicFile(std::string target, Existing existing = Existing::Replace);
    // The same, the part file made by create(partPath), which must create
    // it exclusively (a new database file, say).
    AtomicFile(std::string target, Existing existing, const std::function<void(const std::string&)>& create);
    ~AtomicFile(); // without commit() the part file is removed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // The target (a symbolic link resolved: the file it names is replaced,
    // the link stays) and the part file, which another writer may also
    // open by name and write.
    const std::string& target() const { return target_; }
    const std::string& partPath() const { return part_; }

    // Appends bytes to the part file; throws OutputError when a write fails.
    void write(std::string_view bytes);
    // Syncs and closes the part file, checks that it holds something, and
    // renames it to the target. Throws OutputError; the target is then as it
    // was and the part file gone.
    void commit();
    // Commits outputs that belong together (a PDF and its page image):
    // every one is synced and closed before the first is renamed, so a
    // failed write leaves all targets as they were.
    static void commitAll(const std::vector<AtomicFile*>& outputs);

private:
    void open(const std::function<void(const std::string&)>& create);
    void sync();
    void publish();
    void discard() noexcept;

    std::string target_;
    std::string part_;
    Existing existing_;
    int fd_ = -1;
    bool synced_ = false;
    bool done_ = false;
};

// Throws OutputError when target exists and may not be replaced: it is not a
// regular file (a folder, a device such as /dev/full, a pipe), or the user
// could not overwrite it. For root, whom the system lets write anything,
// a file without any write permission bit counts as read-only; for anyone
// else the system's own answer (permission bits, ACLs, a read-only mount)
// decides.
void CheckReplaceable(const std::string& target);

// Removes the part files (and a database's journal files beside them) that
// writers killed before finishing left in folder; returns how many parts.
int RemoveStaleParts(const std::string& folder);

} // namespace qtmv::files
