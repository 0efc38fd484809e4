// The GL layer's display lists: recorded once as commands and ready vertex
// data (the primitives assembled as immediate mode assembles them), replayed
// through the same calls as the game's own, with the caller's colour and
// texture coordinate where the list set none.
#include "gl/gl_layer_internal.h"

#include <vector>

namespace gllayer {
namespace {

// One recorded command. Draw covers `count` vertices of the list from `first`,
// drawn as `a` (GL_TRIANGLES, GL_LINES or GL_POINTS); its colours and texture
// coordinates come from the list itself or, when the list set none before
// them, from the current ones at the time of the call. Multiply takes 16 of the list's numbers
// from `first`.
struct Command {
  Op op;
  GLenum a = 0;
  GLenum b = 0;
  GLdouble v[4] = {0, 0, 0, 0};
  size_t first = 0;
  size_t count = 0;
  bool ownColour = false;
  bool ownTexCoord = false;
};

struct List {
  std::vector<Command> commands;
  std::vector<Vertex> vertices;
  std::vector<GLdouble> numbers;
  bool live = false;  // named by glGenLists or glNewList, not deleted since
};

// Names up to this are taken by glNewList without glGenLists, as GL takes any
// (each name up to the largest has a slot of a few dozen bytes).
constexpr GLuint kLargestName = 1u << 16;

std::vector<List> lists(1);  // list 0 is never a name
GLuint listBase = 0;
// The list being compiled, put in place of its name's old one at glEndList.
List building;
GLuint buildingName = 0;         // 0: none
bool executingNow = true;        // commands run as they come: no list, or GL_COMPILE_AND_EXECUTE
bool recordingColour = false;    // the list being compiled has set a colour
bool colourInPrimitive = false;  // ... and did so between glBegin and glEnd
bool recordingTexCoord = false;  // the same for the texture coordinate
bool texCoordInPrimitive = false;
size_t primitiveStart = 0;  // in the compiled list's vertices
int callDepth = 0;
long liveCount = 0;  // the lists that are live

void callList(GLuint name);

// A list's vertices, with the caller's colour and texture coordinate where the
// list had set none before them.
void draw(const Command& c, const Vertex* vertices) {
  const GLubyte* colour = c.ownColour ? nullptr : current.colour;
  if (c.ownTexCoord) return send(c.a, vertices, c.count, colour);
  sendWithCurrentTexCoord(c.a, vertices, c.count, colour);
}

void replay(const List& list) {
  for (const Command& c : list.commands) {
    switch (c.op) {
      case Op::Enable: runEnable(c.a, true); break;
      case Op::Disable: runEnable(c.a, false); break;
      case Op::BindTexture: runBindTexture(c.a, c.b); break;
      case Op::BlendFunc: runBlendFunc(c.a, c.b); break;
      case Op::DepthFunc: runDepthFunc(c.a); break;
      case Op::MatrixMode: runMatrixMode(c.a); break;
      case Op::LoadIdentity: glbatch::loadIdentity(); break;
      case Op::Multiply: glbatch::multiply(list.numbers.data() + c.first); break;
      case Op::Translate: glbatch::translate(c.v[0], c.v[1], c.v[2]); break;
      case Op::Rotate: glbatch::rotate(c.v[0], c.v[1], c.v[2], c.v[3]); break;
      case Op::PushMatrix: runPushMatrix(); break;
      case Op::PopMatrix: runPopMatrix(); break;
      case Op::Colour:
        setColour(static_cast<GLfloat>(c.v[0]), static_cast<GLfloat>(c.v[1]),
                  static_cast<GLfloat>(c.v[2]), static_cast<GLfloat>(c.v[3]));
        break;
      case Op::CallList: callList(c.a); break;
      case Op::CallListFromBase: callList(listBase + c.a); break;
      case Op::ListBase: listBase = c.a; break;
      case Op::Clear: runClear(c.a); break;
      case Op::Viewport:
        runViewport(static_cast<GLint>(c.v[0]), static_cast<GLint>(c.v[1]),
                    static_cast<GLsizei>(c.v[2]), static_cast<GLsizei>(c.v[3]));
        break;
      case Op::TexParameter: runTexParameter(c.a, c.b, c.v[0], false); break;
      case Op::TexParameterFloat: runTexParameter(c.a, c.b, c.v[0], true); break;
      case Op::Draw: draw(c, list.vertices.data() + c.first); break;
      case Op::TexCoord:
        current.texCoord[0] = static_cast<GLfloat>(c.v[0]);
        current.texCoord[1] = static_cast<GLfloat>(c.v[1]);
        break;
    }
  }
}

void callList(GLuint name) {
  // A list that calls itself, directly or not, stops at a fixed depth as GL's does.
  if (name == 0 || name >= lists.size() || callDepth >= 64) return;
  ++callDepth;
  replay(lists[name]);
  --callDepth;
}

}  // namespace

bool compiling() { return buildingName != 0; }

bool executing() { return executingNow; }

void record(Op op, GLenum a, GLenum b, GLdouble x, GLdouble y, GLdouble z, GLdouble w) {
  Command command{};
  command.op = op;
  command.a = a;
  command.b = b;
  command.v[0] = x;
  command.v[1] = y;
  command.v[2] = z;
  command.v[3] = w;
  building.commands.push_back(command);
}

bool runsNowOtherwise(const char* call, Op op, GLenum a, GLenum b, GLdouble x, GLdouble y,
                      GLdouble z, GLdouble w) {
  if (inBeginEnd(call)) return false;
  if (compiling()) record(op, a, b, x, y, z, w);
  return executingNow;
}

void multiply(const GLdouble m[16]) {
  if (compiling()) {
    record(Op::Multiply);
    building.commands.back().first = building.numbers.size();
    building.numbers.insert(building.numbers.end(), m, m + 16);
  }
  if (executingNow) glbatch::multiply(m);
}

void beginListPrimitive() {
  colourInPrimitive = false;
  texCoordInPrimitive = false;
  if (compiling()) primitiveStart = building.vertices.size();
}

void keepVertex(const Vertex& v) { building.vertices.push_back(v); }

void recordColour(GLfloat r, GLfloat g, GLfloat b, GLfloat a, bool inside) {
  if (inside) {
    colourInPrimitive = true;
  } else {
    record(Op::Colour, 0, 0, r, g, b, a);
  }
  recordingColour = true;
}

void recordTexCoord(GLfloat s, GLfloat t, bool inside) {
  if (inside) {
    texCoordInPrimitive = true;
  } else {
    record(Op::TexCoord, 0, 0, s, t);
  }
  recordingTexCoord = true;
}

void endListPrimitive(GLenum drawnAs) {
  if (!compiling()) return;
  const size_t count = building.vertices.size() - primitiveStart;
  if (count > 0) {
    // Consecutive primitives drawn alike with nothing between them become one draw.
    std::vector<Command>& commands = building.commands;
    if (!commands.empty() && commands.back().op == Op::Draw && commands.back().a == drawnAs &&
        commands.back().ownColour == recordingColour &&
        commands.back().ownTexCoord == recordingTexCoord &&
        commands.back().first + commands.back().count == primitiveStart) {
      commands.back().count += count;
    } else {
      Command draw{};
      draw.op = Op::Draw;
      draw.a = drawnAs;
      draw.first = primitiveStart;
      draw.count = count;
      draw.ownColour = recordingColour;
      draw.ownTexCoord = recordingTexCoord;
      commands.push_back(draw);
    }
  }
  // A colour or texture coordinate set between glBegin and glEnd stays
  // current after the list.
  if (colourInPrimitive) {
    record(Op::Colour, 0, 0, currentColour[0], currentColour[1], currentColour[2],
           currentColour[3]);
  }
  if (texCoordInPrimitive) record(Op::TexCoord, 0, 0, current.texCoord[0], current.texCoord[1]);
}

void forgetLiveLists() {
  for (List& list : lists) list.live = false;
  liveCount = 0;
}

long liveLists() { return liveCount; }

void stopCompiling() {
  building = List();
  buildingName = 0;
  executingNow = true;
}

}  // namespace gllayer

using namespace gllayer;

GLuint layerGenLists(GLsizei range) {
  if (range < 0) {
    refuse(GL_INVALID_VALUE, "glGenLists");
    return 0;
  }
  if (inBeginEnd("glGenLists")) return 0;
  if (range == 0) return 0;
  const GLuint base = static_cast<GLuint>(lists.size());
  lists.resize(lists.size() + static_cast<size_t>(range));
  for (size_t i = base; i < lists.size(); ++i) lists[i].live = true;
  liveCount += range;
  return base;
}

void layerDeleteLists(GLuint list, GLsizei range) {
  if (range < 0) return refuse(GL_INVALID_VALUE, "glDeleteLists");
  if (inBeginEnd("glDeleteLists")) return;
  for (GLsizei i = 0; i < range; ++i) {
    const GLuint name = list + static_cast<GLuint>(i);
    if (name == 0 || name >= lists.size()) continue;
    liveCount -= lists[name].live ? 1 : 0;
    lists[name] = List();
  }
}

void layerNewList(GLuint list, GLenum mode) {
  if (mode != GL_COMPILE && mode != GL_COMPILE_AND_EXECUTE) {
    return refuseEnum("glNewList", mode);
  }
  if (list == 0) return refuse(GL_INVALID_VALUE, "glNewList", "list 0");
  if (compiling()) return refuse(GL_INVALID_OPERATION, "glNewList", "nested");
  if (inBeginEnd("glNewList")) return;
  if (list > kLargestName) {
    return refuse(GL_OUT_OF_MEMORY, "glNewList", "a name past the layer's lists");
  }
  building = List();
  buildingName = list;
  ordinary = false;
  executingNow = mode == GL_COMPILE_AND_EXECUTE;
  recordingColour = false;
  recordingTexCoord = false;
  if (!executingNow) saveVertexState();
}

void layerEndList() {
  if (!compiling()) return refuse(GL_INVALID_OPERATION, "glEndList", "no list");
  if (inBeginEnd("glEndList")) return;
  if (buildingName >= lists.size()) lists.resize(buildingName + 1);
  liveCount += lists[buildingName].live ? 0 : 1;
  building.live = true;
  lists[buildingName] = std::move(building);
  building = List();
  buildingName = 0;
  ordinary = true;  // not between glBegin and glEnd either
  // Compiling alone ran nothing: the vertex state is what it was before.
  if (!executingNow) restoreVertexState();
  executingNow = true;
}

void layerCallList(GLuint list) {
  // Between glBegin and glEnd the list's vertices would have to join the
  // primitive being built, which the layer does not do.
  if (runsNow("glCallList", Op::CallList, list)) callList(list);
}

void layerCallLists(GLsizei n, GLenum type, const GLvoid* names) {
  if (n < 0) return refuse(GL_INVALID_VALUE, "glCallLists");
  if (inBeginEnd("glCallLists")) return;
  const unsigned char* bytes = static_cast<const unsigned char*>(names);
  for (GLsizei i = 0; i < n; ++i) {
    GLuint name = 0;
    switch (type) {
      case GL_UNSIGNED_BYTE: name = static_cast<const GLubyte*>(names)[i]; break;
      // GL_BYTE names are signed offsets from the list base: the sign extends on purpose.
      // NOLINTNEXTLINE(bugprone-signed-char-misuse)
      case GL_BYTE: name = static_cast<GLuint>(static_cast<const GLbyte*>(names)[i]); break;
      case GL_UNSIGNED_SHORT: name = static_cast<const GLushort*>(names)[i]; break;
      case GL_SHORT: name = static_cast<GLuint>(static_cast<const GLshort*>(names)[i]); break;
      case GL_UNSIGNED_INT: name = static_cast<const GLuint*>(names)[i]; break;
      case GL_INT: name = static_cast<GLuint>(static_cast<const GLint*>(names)[i]); break;
      case GL_FLOAT: {
        // Whole numbers as GL_INT's (a negative one an offset below the base);
        // one no list name can hold, or no number, names no list.
        const GLfloat value = static_cast<const GLfloat*>(names)[i];
        if (!(value >= -2147483648.0f && value < 4294967296.0f)) continue;
        name =
            value < 0 ? static_cast<GLuint>(static_cast<GLint>(value)) : static_cast<GLuint>(value);
        break;
      }
      // Two, three or four bytes a name, the first the highest.
      case GL_2_BYTES:
      case GL_3_BYTES:
      case GL_4_BYTES: {
        const int width = static_cast<int>(type - GL_2_BYTES) + 2;
        for (int k = 0; k < width; ++k) name = name << 8 | bytes[i * width + k];
        break;
      }
      default: return refuseEnum("glCallLists", type);
    }
    if (compiling()) record(Op::CallListFromBase, name);
    if (executingNow) callList(listBase + name);
  }
}

void layerListBase(GLuint base) {
  if (runsNow("glListBase", Op::ListBase, base)) listBase = base;
}
