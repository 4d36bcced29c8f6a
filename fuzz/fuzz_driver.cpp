// Runs a fuzz target without libFuzzer (an ordinary g++ build): every file named on the command
// line, or found in a folder named there, is run once through LLVMFuzzerTestOneInput; with
// --seconds N the inputs are then mutated at random for N seconds. A target stops the whole
// program at its first fault, so surviving to the end is the result; the input that was running
// when it stopped is written to a file for replaying.
//
//   fuzz_money [--seconds N] [--seed N] [--max-len N] [--artifact-prefix P] FILE|FOLDER...

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace {

using Bytes = std::vector<std::uint8_t>;

// What the crash handler writes out; set before every run, so it must stay put meanwhile.
const Bytes* running = nullptr;
const char* runningFile = nullptr;
std::string artifactPath;

void writeText(const char* text) { (void)!write(STDERR_FILENO, text, std::strlen(text)); }

// Only async-signal-safe calls: the program is in a fault.
void saveRunningInput()
{
    if (runningFile) {
        writeText("fuzz driver: the fault came with the file ");
        writeText(runningFile);
        writeText("\n");
        return;
    }
    if (!running)
        return;
    const int fd = open(artifactPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return;
    (void)!write(fd, running->data(), running->size());
    close(fd);
    writeText("fuzz driver: the input that caused the fault is in ");
    writeText(artifactPath.c_str());
    writeText("\n");
}

extern "C" void onFault(int signal)
{
    saveRunningInput();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void watchForFaults()
{
    for (int s : {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL})
        std::signal(s, onFault);
    if (__sanitizer_set_death_callback)
        __sanitizer_set_death_callback(saveRunningInput);
}

bool readFile(const std::filesystem::path& path, Bytes& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

void collect(const std::filesystem::path& path, std::vector<std::filesystem::path>& files)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        std::vector<std::filesystem::path> found;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path, ec))
            if (entry.is_regular_file())
                found.push_back(entry.path());
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    } else if (std::filesystem::is_regular_file(path, ec)) {
        files.push_back(path);
    } else {
        std::fprintf(stderr, "fuzz driver: %s is neither a file nor a folder; skipped\n",
                     path.c_str());
    }
}

class Mutator {
public:
    Mutator(unsigned seed, std::size_t maxLen) : random(seed), maxLen(maxLen) {}

    Bytes mutate(const std::vector<Bytes>& pool)
    {
        Bytes b = pool.empty() ? Bytes() : pool[below(pool.size())];
        const std::size_t steps = 1 + below(4);
        for (std::size_t i = 0; i < steps; ++i)
            step(b, pool);
        if (b.size() > maxLen)
            b.resize(maxLen);
        return b;
    }

private:
    std::size_t below(std::size_t n) { return n == 0 ? 0 : random() % n; }

    void step(Bytes& b, const std::vector<Bytes>& pool)
    {
        static const std::int64_t interesting[] = {0,   1,    -1,    0x7F,  0x80, 0xFF,  0x7FFF,
                                                   0x8000, 0xFFFF, 0x7FFFFFFF, 0x80000000LL,
                                                   0xFFFFFFFFLL, INT64_MAX, INT64_MIN};
        switch (below(b.empty() ? 2 : 8)) {
        case 0: // insert a random byte
            b.insert(b.begin() + below(b.size() + 1), std::uint8_t(random()));
            break;
        case 1: { // insert a printable character that the parsers care about
            static const char special[] = "0123456789$,.-+ /:;=\\\"%#AaPpMm\t";
            b.insert(b.begin() + below(b.size() + 1),
                     std::uint8_t(special[below(sizeof special - 1)]));
            break;
        }
        case 2: b[below(b.size())] ^= std::uint8_t(1u << below(8)); break;
        case 3: b[below(b.size())] = std::uint8_t(random()); break;
        case 4: { // erase a run
            const std::size_t at = below(b.size());
            const std::size_t n = 1 + below(std::min<std::size_t>(8, b.size() - at));
            b.erase(b.begin() + at, b.begin() + at + n);
            break;
        }
        case 5: { // copy a run to another place
            const std::size_t from = below(b.size());
            const std::size_t n = 1 + below(std::min<std::size_t>(16, b.size() - from));
            const Bytes run(b.begin() + from, b.begin() + from + n);
            b.insert(b.begin() + below(b.size() + 1), run.begin(), run.end());
            break;
        }
        case 6: { // overwrite with an interesting number
            const std::int64_t v = interesting[below(std::size(interesting))];
            const std::size_t width = std::size_t(1) << below(4);
            const std::size_t at = below(b.size());
            for (std::size_t i = 0; i < width && at + i < b.size(); ++i)
                b[at + i] = std::uint8_t(std::uint64_t(v) >> (8 * (width - 1 - i)));
            break;
        }
        case 7: { // splice with another input
            if (pool.empty())
                break;
            const Bytes& other = pool[below(pool.size())];
            const std::size_t keep = below(b.size() + 1);
            b.resize(keep);
            if (!other.empty()) {
                const std::size_t from = below(other.size());
                b.insert(b.end(), other.begin() + from, other.end());
            }
            break;
        }
        }
    }

    std::mt19937 random;
    std::size_t maxLen;
};

} // namespace

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    double seconds = 0;
    unsigned seed = unsigned(std::random_device{}());
    std::size_t maxLen = 4096;
    std::string prefix = "./";
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 < argc && arg == "--seconds")
            seconds = std::atof(argv[++i]);
        else if (i + 1 < argc && arg == "--seed")
            seed = unsigned(std::strtoul(argv[++i], nullptr, 10));
        else if (i + 1 < argc && arg == "--max-len")
            maxLen = std::size_t(std::strtoul(argv[++i], nullptr, 10));
        else if (i + 1 < argc && arg == "--artifact-prefix")
            prefix = argv[++i];
        else
            collect(arg, files);
    }
    artifactPath = prefix + "crash-input";
    watchForFaults();

    std::vector<Bytes> pool;
    long long runs = 0;
    for (const auto& path : files) {
        Bytes input;
        if (!readFile(path, input)) {
            std::fprintf(stderr, "fuzz driver: cannot read %s\n", path.c_str());
            return 2;
        }
        const std::string name = path.string();
        runningFile = name.c_str();
        LLVMFuzzerTestOneInput(input.data(), input.size());
        runningFile = nullptr;
        ++runs;
        pool.push_back(std::move(input));
    }
    std::printf("%s: %lld inputs replayed\n", argv[0], runs);
    std::fflush(stdout);

    if (seconds > 0) {
        Mutator mutator(seed, maxLen);
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        long long mutated = 0;
        while (std::chrono::steady_clock::now() < end) {
            for (int i = 0; i < 64; ++i) {
                const Bytes input = mutator.mutate(pool);
                running = &input;
                LLVMFuzzerTestOneInput(input.data(), input.size());
                running = nullptr;
                ++mutated;
            }
        }
        std::printf("%s: %lld mutated runs survived in %g s (seed %u)\n", argv[0], mutated,
                    seconds, seed);
        runs += mutated;
    }
    std::printf("%s: %lld runs survived\n", argv[0], runs);
    return 0;
}
