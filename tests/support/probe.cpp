// Preloaded into the real quorvel binary by the process tests. It watches the program through the
// windowing and loader calls it makes and writes what it saw to $QUORVEL_PROBE_REPORT when the
// program terminates the windowing library. It can also set things up as a user or a driver could:
//   QUORVEL_PROBE_CLOSE_EARLY=1   a close request is pending as soon as the window exists
//   QUORVEL_PROBE_NULL_ENTRY=glX  the loader leaves entry point glX null
//   QUORVEL_PROBE_NULL_STRINGS=1  glGetString answers null
// and, while the program runs, keeps the number of frames swapped so far in $QUORVEL_PROBE_PROGRESS.
// The report also times the run for the whole-process measurement: the time from loading to the
// first swap, and the wall and CPU time (all threads) of the frame loop from the first swap on.
#define GLFW_INCLUDE_NONE
#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

template <typename F>
F next_definition(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

struct observations {
    long polls = 0;
    long frames = 0;
    GLint viewport[4] = {-1, -1, -1, -1};
    int framebuffer[2] = {-1, -1};
    long delete_program_calls = 0;
    long delete_buffers_calls = 0;
    long delete_vertex_arrays_calls = 0;
    long first_frame_us = -1;
    long loop_start_us = 0;
    long loop_cpu_start_us = 0;
} seen;

long now_us(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return t.tv_sec * 1000000L + t.tv_nsec / 1000L;
}

const long loaded_us = now_us(CLOCK_MONOTONIC);

PFNGLDELETEPROGRAMPROC real_delete_program;
PFNGLDELETEBUFFERSPROC real_delete_buffers;
PFNGLDELETEVERTEXARRAYSPROC real_delete_vertex_arrays;

void GLAPIENTRY counting_delete_program(GLuint program)
{
    ++seen.delete_program_calls;
    real_delete_program(program);
}

void GLAPIENTRY counting_delete_buffers(GLsizei n, const GLuint* buffers)
{
    ++seen.delete_buffers_calls;
    real_delete_buffers(n, buffers);
}

void GLAPIENTRY counting_delete_vertex_arrays(GLsizei n, const GLuint* arrays)
{
    ++seen.delete_vertex_arrays_calls;
    real_delete_vertex_arrays(n, arrays);
}

void write_progress(long frames)
{
    static const char* path = std::getenv("QUORVEL_PROBE_PROGRESS");
    static const int fd = path != nullptr ? open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0644) : -1;
    if (fd < 0)
        return;
    char text[24];
    const int length = std::snprintf(text, sizeof text, "%-20ld\n", frames);
    // A lost update only makes the test wait for the next one.
    [[maybe_unused]] const ssize_t written = pwrite(fd, text, static_cast<std::size_t>(length), 0);
}

} // namespace

extern "C" {

GLFWwindow* glfwCreateWindow(int width, int height, const char* title, GLFWmonitor* monitor, GLFWwindow* share)
{
    static const auto real = next_definition<GLFWwindow* (*)(int, int, const char*, GLFWmonitor*, GLFWwindow*)>(
        "glfwCreateWindow");
    GLFWwindow* window = real(width, height, title, monitor, share);
    if (window != nullptr && std::getenv("QUORVEL_PROBE_CLOSE_EARLY") != nullptr)
        glfwSetWindowShouldClose(window, GLFW_TRUE);
    return window;
}

GLenum glewInit()
{
    static const auto real = next_definition<GLenum (*)()>("glewInit");
    const GLenum result = real();
    real_delete_program = __glewDeleteProgram;
    real_delete_buffers = __glewDeleteBuffers;
    real_delete_vertex_arrays = __glewDeleteVertexArrays;
    __glewDeleteProgram = counting_delete_program;
    __glewDeleteBuffers = counting_delete_buffers;
    __glewDeleteVertexArrays = counting_delete_vertex_arrays;
    if (const char* name = std::getenv("QUORVEL_PROBE_NULL_ENTRY")) {
        // GLEW keeps glFoo in the global pointer __glewFoo.
        const std::string pointer_name = std::string("__glew") + (name + 2);
        if (auto* pointer = static_cast<void**>(dlsym(RTLD_DEFAULT, pointer_name.c_str())))
            *pointer = nullptr;
    }
    return result;
}

const GLubyte* glGetString(GLenum name)
{
    static const auto real = next_definition<const GLubyte* (*)(GLenum)>("glGetString");
    if (std::getenv("QUORVEL_PROBE_NULL_STRINGS") != nullptr)
        return nullptr;
    return real(name);
}

void glfwPollEvents()
{
    static const auto real = next_definition<void (*)()>("glfwPollEvents");
    ++seen.polls;
    real();
}

void glfwSwapBuffers(GLFWwindow* window)
{
    static const auto real = next_definition<void (*)(GLFWwindow*)>("glfwSwapBuffers");
    if (seen.frames == 0) {
        seen.loop_start_us = now_us(CLOCK_MONOTONIC);
        seen.loop_cpu_start_us = now_us(CLOCK_PROCESS_CPUTIME_ID);
        seen.first_frame_us = seen.loop_start_us - loaded_us;
    }
    ++seen.frames;
    if (seen.frames % 100 == 0)
        write_progress(seen.frames);
    glGetIntegerv(GL_VIEWPORT, seen.viewport);
    glfwGetFramebufferSize(window, &seen.framebuffer[0], &seen.framebuffer[1]);
    real(window);
}

void glfwTerminate()
{
    static const auto real = next_definition<void (*)()>("glfwTerminate");
    if (const char* path = std::getenv("QUORVEL_PROBE_REPORT")) {
        if (FILE* report = std::fopen(path, "w")) {
            std::fprintf(report, "polls %ld\nframes %ld\nviewport %d %d %d %d\nframebuffer %d %d\n", seen.polls,
                         seen.frames, seen.viewport[0], seen.viewport[1], seen.viewport[2], seen.viewport[3],
                         seen.framebuffer[0], seen.framebuffer[1]);
            std::fprintf(report, "glDeleteProgram %ld\nglDeleteBuffers %ld\nglDeleteVertexArrays %ld\n",
                         seen.delete_program_calls, seen.delete_buffers_calls, seen.delete_vertex_arrays_calls);
            if (seen.frames > 0) {
                std::fprintf(report, "first_frame_us %ld\nframe_loop_us %ld\nframe_loop_cpu_us %ld\n",
                             seen.first_frame_us, now_us(CLOCK_MONOTONIC) - seen.loop_start_us,
                             now_us(CLOCK_PROCESS_CPUTIME_ID) - seen.loop_cpu_start_us);
            }
            std::fclose(report);
        }
    }
    real();
}

} // extern "C"
