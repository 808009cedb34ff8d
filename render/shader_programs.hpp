// The three GLSL 4.30 sources the scene's two programs are built from.
#pragma once

extern const char plain_vertex_source[];
extern const char color_fragment_source[];
extern const char tinted_vertex_source[];
