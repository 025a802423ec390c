#pragma once
// The errors kpack reports to a publisher, as "kpack: FILE:LINE: what is
// wrong" (the manifest's line, or a line of a file it names), "kpack: FILE:
// what is wrong" when no line applies, or "kpack: what is wrong".
#include <stdexcept>
#include <string>

namespace kestrova::kpack {

class KpackError : public std::runtime_error {
  public:
    KpackError(std::string file, int line, const std::string& message)
        : std::runtime_error(message), file_(std::move(file)), line_(line) {}
    explicit KpackError(const std::string& message) : std::runtime_error(message) {}

    const std::string& file() const { return file_; }
    int line() const { return line_; }
    // The whole report line, without a line end.
    std::string report() const {
        std::string out = "kpack: ";
        if (!file_.empty()) {
            out += file_;
            if (line_ > 0) out += ":" + std::to_string(line_);
            out += ": ";
        }
        return out + what();
    }

  private:
    std::string file_;
    int line_ = 0;
};

}  // namespace kestrova::kpack
