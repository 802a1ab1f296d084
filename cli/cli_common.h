// What the tool's plain part and its Qt module share: the error for bad
// input, how outside text appears in a message, JSON and CSV texts, and the
// state a command computes with.
#pragma once

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <string_view>

#include "date.h"
#include "solunar_day.h"

namespace moonbite::cli {

using Json = nlohmann::ordered_json;

/// Bad input: options, coordinates, dates, stored values, files and folders
/// that cannot be used. One line on stderr and kUsageError.
struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

/// Output that could not be written (a full disk, a file size limit): one line
/// on stderr and kFailure.
struct WriteError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

/// Data the tool needs that is not installed or cannot be read (the list of
/// places): one line on stderr and kFailure.
struct MissingData : std::runtime_error {
    using std::runtime_error::runtime_error;
};

/// A file written whole: through a temporary file in the same folder, renamed
/// over the target by commit, so a crash or a full disk never leaves a partial
/// file (a link to a regular file has its target replaced, the link kept).
/// Dropped without commit, the temporary file goes and the target stays.
class WholeFile {
  public:
    explicit WholeFile(const std::string& path);  ///< throws WriteError
    WholeFile(WholeFile&& other) noexcept;
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;
    WholeFile& operator=(WholeFile&&) = delete;
    ~WholeFile();
    void write(std::string_view data);  ///< throws WriteError
    void commit();                      ///< throws WriteError

  private:
    [[noreturn]] void fail(const std::string& what, int error);
    std::string path_;    // as given, for messages
    std::string target_;  // the file replaced (a link's target)
    std::string temp_;
    int fd_ = -1;
};

/// Text from outside (arguments, stored values) as it goes into a one-line
/// message: control characters escaped, a very long text shortened.
[[nodiscard]] std::string shown(std::string_view text);

/// JSON text; invalid UTF-8 is replaced rather than thrown on.
[[nodiscard]] std::string jsonText(const Json& j, int indent);

/// One CSV field, quoted when it holds a comma, quote, line break or a leading blank.
[[nodiscard]] std::string csvField(const Json& v);

/// Throws InputError unless path is a new path or a regular file (or a link
/// to one): the tool never replaces a folder, device, pipe or socket.
void checkOutputTarget(const std::string& path);

/// Throws InputError when the folder a new file would go in is missing or
/// cannot be written: bad input, where a write that fails on the way is not.
void checkOutputFolder(const std::string& path);

/// A state for a place: decimal degrees (north and east positive) and the
/// zone in hours east of Greenwich.
[[nodiscard]] SolunarState stateFor(double latitude, double longitude, double zone, Date today);

}  // namespace moonbite::cli
