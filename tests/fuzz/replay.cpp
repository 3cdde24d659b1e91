// Feeds every file of the folders (or the files) named on the command line to
// a fuzz harness, once each, in name order: the saved corpus and the inputs
// that once broke the code are replayed by CTest with the ordinary compiler,
// without libFuzzer. A harness that finds a fault aborts; the file it was
// given is named first.

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

// The file being replayed, for the message when the harness aborts.
char current[4096];

void tellCurrent(int signal)
{
    const char lead[] = "replay: fault on the input ";
    [[maybe_unused]] ssize_t written = write(STDERR_FILENO, lead, sizeof lead - 1);
    written = write(STDERR_FILENO, current, std::strlen(current));
    written = write(STDERR_FILENO, "\n", 1);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

int main(int argc, char **argv)
{
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path given(argv[i]);
        std::error_code error;
        if (fs::is_directory(given, error)) {
            for (const fs::directory_entry &entry : fs::directory_iterator(given)) {
                if (entry.is_regular_file())
                    inputs.push_back(entry.path());
            }
        } else if (fs::is_regular_file(given, error)) {
            inputs.push_back(given);
        } else {
            std::fprintf(stderr, "replay: %s is neither a folder nor a file\n", argv[i]);
            return 2;
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "replay: no inputs; name the corpus folders to replay\n");
        return 2;
    }
    std::sort(inputs.begin(), inputs.end());

    for (const int signal : {SIGABRT, SIGSEGV, SIGFPE, SIGBUS, SIGILL})
        std::signal(signal, tellCurrent);
    for (const fs::path &input : inputs) {
        std::ifstream in(input, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>()};
        if (!in.eof() && in.fail()) {
            std::fprintf(stderr, "replay: %s could not be read\n", input.c_str());
            return 2;
        }
        std::snprintf(current, sizeof current, "%s", input.c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
    }
    std::printf("replay: %zu inputs, no fault\n", inputs.size());
    return 0;
}
