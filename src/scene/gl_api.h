#pragma once
// OpenGL 1.1 and GLU for the portable drawing code. The Windows headers of
// both only want three calling-convention macros from <windows.h>; defining
// them here keeps <windows.h> out of the scene's portable files.
#if defined(_WIN32)
#ifndef APIENTRY
#define APIENTRY __stdcall
#endif
#ifndef WINGDIAPI
#define WINGDIAPI __declspec(dllimport)
#endif
#ifndef CALLBACK
#define CALLBACK __stdcall
#endif
#endif
#include <GL/gl.h>
#include <GL/glu.h>
