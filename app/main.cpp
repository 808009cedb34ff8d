// quorvel: opens one 640 x 480 window with an OpenGL 4.3 core-profile context and redraws the
// scene's two quads every frame until the window is asked to close.
#include "render/scene.hpp"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <cstdio>

namespace {

constexpr int window_width = 640;
constexpr int window_height = 480;
constexpr const char* window_title = "quorvel";

constexpr int exit_ok = 0;
constexpr int exit_no_windowing = 1;
constexpr int exit_no_window = 2;

// glGetString answers null when it cannot; printf must not be handed that.
const char* gl_text(GLenum name)
{
    const GLubyte* text = glGetString(name);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "unknown";
}

} // namespace

// The size event speaks in screen coordinates, which a scaled display maps onto more pixels: the
// viewport takes the framebuffer's own size instead.
void on_window_size(GLFWwindow* window, int width, int height)
{
    glfwGetFramebufferSize(window, &width, &height);
    glViewport(0, 0, width, height);
}

int main(int, char**)
{
    if (!glfwInit())
        return exit_no_windowing;

    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 4);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);

    GLFWwindow* window = glfwCreateWindow(window_width, window_height, window_title, nullptr, nullptr);
    if (window == nullptr) {
        glfwTerminate();
        return exit_no_window;
    }
    glfwMakeContextCurrent(window);

    // glewInit's answer is not trusted either way: on Wayland it reports an error although every
    // core entry point loaded. What matters is whether the scene's own entry points are there.
    glewExperimental = GL_TRUE;
    glewInit();
    if (!scene_entry_points_loaded()) {
        std::printf("OpenGL entry points missing !\n");
        std::fflush(stdout);
        glfwTerminate();
        return exit_no_window;
    }

    glfwSetWindowSizeCallback(window, on_window_size);
    on_window_size(window, 0, 0);

    const char* renderer = gl_text(GL_RENDERER);
    const char* version = gl_text(GL_VERSION);
    std::printf("OpenGL: %s, renderer=%s\n", version, renderer);
    std::fflush(stdout);

    scene the_scene{};
    the_scene.init();

    while (!glfwWindowShouldClose(window)) {
        glfwPollEvents();
        the_scene.render();
        glfwSwapBuffers(window);
    }

    the_scene.release();
    // Terminating the library also destroys the window and its context.
    glfwTerminate();
    return exit_ok;
}
