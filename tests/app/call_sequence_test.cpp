// The program's GL calls, recorded by apitrace from a real run of the built binary and held,
// arguments included, against the golden sequence in call_sequence.golden.
#include "tests/support/process.hpp"
#include "tests/support/x11_window.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

using namespace std::chrono_literals;

namespace {

bool starts_call(const std::string& line)
{
    return line.size() > 2 && line.compare(0, 2, "gl") == 0 && std::isupper(static_cast<unsigned char>(line[2]));
}

// Splits text into calls: a call starts on a line that begins with gl and a capital letter, and a
// shader source argument carries its own lines with it. Blank lines that merely separate frames
// are trimmed off the end of a call. In the golden file, lines starting with ';' are comments and
// lines starting with '@' stand alone as section marks.
std::vector<std::string> split_calls(std::istream& in, bool golden_file = false)
{
    std::vector<std::string> calls;
    std::string line;
    while (std::getline(in, line)) {
        if (golden_file && !line.empty() && (line[0] == ';' || line[0] == '@')) {
            if (line[0] == '@')
                calls.push_back(line);
            continue;
        }
        if (starts_call(line) || calls.empty())
            calls.push_back(line);
        else
            calls.back() += "\n" + line;
    }
    for (std::string& call : calls) {
        while (!call.empty() && call.back() == '\n')
            call.pop_back();
    }
    return calls;
}

// The program's own calls from an apitrace dump: from the first real glViewport on, without the
// glX calls and the lines apitrace marks fake.
std::vector<std::string> program_calls(const std::string& dump)
{
    // Fake lines (the writes through a mapped pointer among them) stand alone.
    std::istringstream lines(dump);
    std::string kept;
    for (std::string line; std::getline(lines, line);) {
        const std::string fake = "// fake";
        if (line.size() < fake.size() || line.compare(line.size() - fake.size(), fake.size(), fake) != 0)
            kept += line + "\n";
    }
    std::istringstream in(kept);
    std::vector<std::string> own;
    for (const std::string& call : split_calls(in)) {
        if (call.rfind("glX", 0) == 0)
            continue;
        if (own.empty() && call.rfind("glViewport(", 0) != 0)
            continue;
        own.push_back(call);
    }
    return own;
}

struct golden_sequence {
    std::vector<std::string> start_up, frame, release;
};

golden_sequence read_golden(const std::string& path)
{
    std::ifstream in(path);
    golden_sequence golden;
    std::vector<std::string>* section = &golden.start_up;
    for (const std::string& call : split_calls(in, true)) {
        if (call == "@frame")
            section = &golden.frame;
        else if (call == "@end")
            section = &golden.release;
        else
            section->push_back(call);
    }
    return golden;
}

// Matches calls against patterns in which $role stands for an object name, bound to the number it
// first meets, and $* for anything.
class role_matcher {
public:
    bool matches(const std::string& pattern, const std::string& call)
    {
        auto bound = roles_;
        std::size_t p = 0;
        std::size_t c = 0;
        while (p < pattern.size()) {
            if (pattern[p] != '$') {
                if (c >= call.size() || call[c] != pattern[p])
                    return false;
                ++p;
                ++c;
                continue;
            }
            if (pattern.compare(p, 2, "$*") == 0) {
                p += 2;
                const std::size_t next = pattern.find('$', p);
                const std::string literal = pattern.substr(p, next == std::string::npos ? std::string::npos : next - p);
                if (literal.empty()) {
                    c = p == pattern.size() ? call.size() : c;
                    continue;
                }
                const std::size_t found = call.find(literal, c);
                if (found == std::string::npos)
                    return false;
                c = found;
                continue;
            }
            std::size_t end = p + 1;
            while (end < pattern.size() && (std::islower(static_cast<unsigned char>(pattern[end])) || pattern[end] == '_'))
                ++end;
            const std::string role = pattern.substr(p, end - p);
            std::size_t digits = c;
            while (digits < call.size() && std::isdigit(static_cast<unsigned char>(call[digits])))
                ++digits;
            if (digits == c)
                return false;
            const std::string name = call.substr(c, digits - c);
            const auto known = bound.find(role);
            if (known != bound.end() && known->second != name)
                return false;
            bound[role] = name;
            p = end;
            c = digits;
        }
        if (c != call.size())
            return false;
        roles_ = std::move(bound);
        return true;
    }

    std::string bindings() const
    {
        std::string text;
        for (const auto& [role, name] : roles_)
            text += " " + role + "=" + name;
        return text;
    }

private:
    std::map<std::string, std::string> roles_;
};

// Compares the recorded calls with the golden sequence; returns the first difference, if any.
std::string first_difference(const std::vector<std::string>& calls, const golden_sequence& golden, int& frames)
{
    role_matcher matcher;
    std::size_t at = 0;
    auto differs = [&](const std::string& where, const std::string& expected) {
        std::ostringstream out;
        out << "call " << at << " (" << where << ")\n  expected: " << expected << "\n  recorded: "
            << (at < calls.size() ? calls[at] : std::string("<end of the program's calls>"))
            << "\n  names so far:" << matcher.bindings();
        return out.str();
    };
    for (const std::string& expected : golden.start_up) {
        if (at >= calls.size() || !matcher.matches(expected, calls[at]))
            return differs("start-up and init", expected);
        ++at;
    }
    frames = 0;
    for (;;) {
        const std::size_t frame_start = at;
        std::size_t i = 0;
        while (i < golden.frame.size() && at < calls.size() && matcher.matches(golden.frame[i], calls[at])) {
            ++i;
            ++at;
        }
        if (i == golden.frame.size()) {
            ++frames;
            continue;
        }
        if (i > 0 || frames < 2)
            return differs("frame " + std::to_string(frames + 1) + ", after " + std::to_string(frame_start),
                           golden.frame[i]);
        break;
    }
    for (const std::string& expected : golden.release) {
        if (at >= calls.size() || !matcher.matches(expected, calls[at]))
            return differs("release", expected);
        ++at;
    }
    if (at != calls.size())
        return differs("after release", "<no more calls>");
    return {};
}

// apitrace starts the program as its own child; the window belongs to that child.
pid_t child_of(pid_t parent)
{
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (DIR* proc = opendir("/proc")) {
            while (const dirent* entry = readdir(proc)) {
                std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
                std::string pid, name, state;
                long ppid = 0;
                if (stat >> pid >> name >> state >> ppid && ppid == parent && name == "(quorvel)") {
                    closedir(proc);
                    return static_cast<pid_t>(std::stol(pid));
                }
            }
            closedir(proc);
        }
        std::this_thread::sleep_for(20ms);
    }
    return -1;
}

std::string command_output(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[65536];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, n);
        pclose(pipe);
    }
    return output;
}

TEST(call_sequence, of_a_real_run_matches_the_golden_sequence_from_start_up_through_frames_to_release)
{
    const golden_sequence golden = read_golden(QUORVEL_GOLDEN_CALLS);
    ASSERT_FALSE(golden.start_up.empty());
    ASSERT_FALSE(golden.frame.empty());
    ASSERT_FALSE(golden.release.empty());

    char directory[] = "/tmp/quorvel-trace-XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    const std::string trace = std::string(directory) + "/quorvel.trace";
    {
        x11_display display;
        ASSERT_TRUE(display.is_open());
        child_process traced("apitrace", {"trace", "-o", trace, QUORVEL_BINARY});
        const pid_t program = child_of(traced.pid());
        ASSERT_GT(program, 0) << "apitrace did not start quorvel (is apitrace installed?)";
        const x_window window = display.wait_for_window_of(program, 20s);
        ASSERT_NE(window, 0u);
        ASSERT_TRUE(traced.read_line(20s).has_value()) << "no version line";
        std::this_thread::sleep_for(1s);
        display.send_close_request(window);
        const auto status = traced.wait_for_exit(60s);
        ASSERT_TRUE(status.has_value());
        ASSERT_EQ(*status, 0);
    }
    const std::string dump = command_output("apitrace dump --verbose --call-nos=no --color=never " + trace);
    std::remove(trace.c_str());
    rmdir(directory);

    const std::vector<std::string> calls = program_calls(dump);
    ASSERT_FALSE(calls.empty()) << "no calls recorded";
    int frames = 0;
    EXPECT_EQ(first_difference(calls, golden, frames), "");
    EXPECT_GE(frames, 2);
}

} // namespace
