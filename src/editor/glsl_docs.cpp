// SPDX-License-Identifier: MIT
#include "editor/glsl_docs.h"

#include <QHash>

#include <utility>

namespace tessory::glsl {

namespace {

struct Line {
    const char* name;
    const char* english;
    const char* german;
};

// Written for this editor: the front end gives the functions and their signatures, not what
// they do.
constexpr Line kFunctions[] = {
    // Angles and trigonometry
    {"radians", "Converts degrees to radians: π·degrees/180.",
     "Wandelt Grad in Bogenmaß um: π·Grad/180."},
    {"degrees", "Converts radians to degrees: 180·radians/π.",
     "Wandelt Bogenmaß in Grad um: 180·Bogenmaß/π."},
    {"sin", "Sine of an angle in radians.", "Sinus eines Winkels im Bogenmaß."},
    {"cos", "Cosine of an angle in radians.", "Kosinus eines Winkels im Bogenmaß."},
    {"tan", "Tangent of an angle in radians.", "Tangens eines Winkels im Bogenmaß."},
    {"asin", "Arc sine: the angle in [−π/2, π/2] whose sine is x.",
     "Arkussinus: der Winkel in [−π/2, π/2], dessen Sinus x ist."},
    {"acos", "Arc cosine: the angle in [0, π] whose cosine is x.",
     "Arkuskosinus: der Winkel in [0, π], dessen Kosinus x ist."},
    {"atan", "Arc tangent of y/x, its quadrant from their signs; with one argument, of that.",
     "Arkustangens von y/x, der Quadrant aus ihren Vorzeichen; mit einem Argument, von diesem."},
    {"sinh", "Hyperbolic sine: (eˣ − e⁻ˣ)/2.", "Sinus hyperbolicus: (eˣ − e⁻ˣ)/2."},
    {"cosh", "Hyperbolic cosine: (eˣ + e⁻ˣ)/2.", "Kosinus hyperbolicus: (eˣ + e⁻ˣ)/2."},
    {"tanh", "Hyperbolic tangent: sinh(x)/cosh(x).", "Tangens hyperbolicus: sinh(x)/cosh(x)."},
    {"asinh", "Inverse hyperbolic sine.", "Areasinus hyperbolicus."},
    {"acosh", "Inverse hyperbolic cosine (x ≥ 1).", "Areakosinus hyperbolicus (x ≥ 1)."},
    {"atanh", "Inverse hyperbolic tangent (|x| < 1).", "Areatangens hyperbolicus (|x| < 1)."},
    // Exponentials
    {"pow", "x raised to the power y; undefined for x < 0, and for x = 0 with y ≤ 0.",
     "x hoch y; undefiniert für x < 0 sowie für x = 0 mit y ≤ 0."},
    {"exp", "Natural exponential eˣ.", "Natürliche Exponentialfunktion eˣ."},
    {"log", "Natural logarithm of x (x > 0).", "Natürlicher Logarithmus von x (x > 0)."},
    {"exp2", "2 raised to the power x.", "2 hoch x."},
    {"log2", "Base-2 logarithm of x (x > 0).", "Logarithmus von x zur Basis 2 (x > 0)."},
    {"sqrt", "Square root of x (x ≥ 0).", "Quadratwurzel von x (x ≥ 0)."},
    {"inversesqrt", "Inverse square root 1/√x (x > 0).",
     "Kehrwert der Quadratwurzel, 1/√x (x > 0)."},
    // Common functions
    {"abs", "Absolute value of x.", "Betrag von x."},
    {"sign", "−1, 0 or 1 for x < 0, x = 0 and x > 0.", "−1, 0 oder 1 für x < 0, x = 0 und x > 0."},
    {"floor", "The largest integer not greater than x.",
     "Die größte ganze Zahl, die nicht größer als x ist."},
    {"trunc", "x without its fraction, rounded towards zero.",
     "x ohne Nachkommastellen, in Richtung null gerundet."},
    {"round", "x rounded to the nearest integer; a half either way.",
     "x auf die nächste ganze Zahl gerundet; eine Hälfte in beliebiger Richtung."},
    {"roundEven", "x rounded to the nearest integer; a half to the even one.",
     "x auf die nächste ganze Zahl gerundet; eine Hälfte zur geraden."},
    {"ceil", "The smallest integer not less than x.",
     "Die kleinste ganze Zahl, die nicht kleiner als x ist."},
    {"fract", "Fractional part: x − floor(x).", "Nachkommaanteil: x − floor(x)."},
    {"mod", "Modulus: x − y·floor(x/y).", "Divisionsrest: x − y·floor(x/y)."},
    {"modf", "Splits x into its fraction (returned) and whole part (out), both with x's sign.",
     "Zerlegt x in Nachkommaanteil (Rückgabe) und ganzen Teil (out), beide mit dem Vorzeichen "
     "von x."},
    {"min", "The smaller of x and y.", "Das Kleinere von x und y."},
    {"max", "The larger of x and y.", "Das Größere von x und y."},
    {"clamp", "x limited to [minVal, maxVal]: min(max(x, minVal), maxVal).",
     "x auf [minVal, maxVal] begrenzt: min(max(x, minVal), maxVal)."},
    {"mix", "Linear blend of x and y by a: x·(1−a) + y·a; with a bool a, y where a is true.",
     "Lineare Mischung von x und y mit a: x·(1−a) + y·a; mit bool a, y, wo a wahr ist."},
    {"step", "0.0 where x < edge, otherwise 1.0.", "0.0, wo x < edge ist, sonst 1.0."},
    {"smoothstep", "Smooth Hermite curve from 0 to 1 as x goes from edge0 to edge1.",
     "Glatte Hermite-Kurve von 0 bis 1, während x von edge0 nach edge1 läuft."},
    {"isnan", "True where x is NaN.", "Wahr, wo x NaN ist."},
    {"isinf", "True where x is positive or negative infinity.",
     "Wahr, wo x plus oder minus unendlich ist."},
    {"floatBitsToInt", "The bits of a float as a signed integer.",
     "Die Bits eines float als vorzeichenbehaftete Ganzzahl."},
    {"floatBitsToUint", "The bits of a float as an unsigned integer.",
     "Die Bits eines float als vorzeichenlose Ganzzahl."},
    {"intBitsToFloat", "The bits of a signed integer read as a float.",
     "Die Bits einer vorzeichenbehafteten Ganzzahl als float gelesen."},
    {"uintBitsToFloat", "The bits of an unsigned integer read as a float.",
     "Die Bits einer vorzeichenlosen Ganzzahl als float gelesen."},
    {"fma", "Fused multiply-add a·b + c, rounded once.",
     "Verschmolzenes Multiplizieren und Addieren a·b + c, einmal gerundet."},
    {"frexp", "Splits x into a significand in [0.5, 1) (returned) and a power of two (out).",
     "Zerlegt x in eine Mantisse in [0,5, 1) (Rückgabe) und eine Zweierpotenz (out)."},
    {"ldexp", "x·2^exp: a float from significand and exponent.",
     "x·2^exp: ein float aus Mantisse und Exponent."},
    // Packing
    {"packUnorm2x16",
     "Packs two floats in [0, 1] into a uint as 16-bit unsigned normalized values.",
     "Packt zwei floats aus [0, 1] als vorzeichenlose normierte 16-Bit-Werte in einen uint."},
    {"packSnorm2x16", "Packs two floats in [−1, 1] into a uint as 16-bit signed normalized values.",
     "Packt zwei floats aus [−1, 1] als vorzeichenbehaftete normierte 16-Bit-Werte in einen uint."},
    {"packUnorm4x8", "Packs four floats in [0, 1] into a uint as 8-bit unsigned normalized values.",
     "Packt vier floats aus [0, 1] als vorzeichenlose normierte 8-Bit-Werte in einen uint."},
    {"packSnorm4x8", "Packs four floats in [−1, 1] into a uint as 8-bit signed normalized values.",
     "Packt vier floats aus [−1, 1] als vorzeichenbehaftete normierte 8-Bit-Werte in einen uint."},
    {"unpackUnorm2x16", "Two floats in [0, 1] from a uint of 16-bit unsigned normalized values.",
     "Zwei floats aus [0, 1] aus einem uint mit vorzeichenlosen normierten 16-Bit-Werten."},
    {"unpackSnorm2x16", "Two floats in [−1, 1] from a uint of 16-bit signed normalized values.",
     "Zwei floats aus [−1, 1] aus einem uint mit vorzeichenbehafteten normierten 16-Bit-Werten."},
    {"unpackUnorm4x8", "Four floats in [0, 1] from a uint of 8-bit unsigned normalized values.",
     "Vier floats aus [0, 1] aus einem uint mit vorzeichenlosen normierten 8-Bit-Werten."},
    {"unpackSnorm4x8", "Four floats in [−1, 1] from a uint of 8-bit signed normalized values.",
     "Vier floats aus [−1, 1] aus einem uint mit vorzeichenbehafteten normierten 8-Bit-Werten."},
    {"packHalf2x16", "Packs two floats into a uint as 16-bit half floats.",
     "Packt zwei floats als 16-Bit-Halbfloats in einen uint."},
    {"unpackHalf2x16", "Two floats from a uint of two 16-bit half floats.",
     "Zwei floats aus einem uint mit zwei 16-Bit-Halbfloats."},
    {"packDouble2x32", "A double from its two 32-bit halves, low one first.",
     "Ein double aus seinen zwei 32-Bit-Hälften, die niedrige zuerst."},
    {"unpackDouble2x32", "The two 32-bit halves of a double, low one first.",
     "Die zwei 32-Bit-Hälften eines double, die niedrige zuerst."},
    // Geometry
    {"length", "Length of the vector x: √(x·x).", "Länge des Vektors x: √(x·x)."},
    {"distance", "Distance between the points p0 and p1: length(p0 − p1).",
     "Abstand der Punkte p0 und p1: length(p0 − p1)."},
    {"dot", "Dot product of x and y.", "Skalarprodukt von x und y."},
    {"cross", "Cross product of two 3-component vectors.",
     "Kreuzprodukt zweier Vektoren mit 3 Komponenten."},
    {"normalize", "x scaled to length 1.", "x auf die Länge 1 skaliert."},
    {"ftransform", "The vertex transformed exactly as the fixed-function pipeline does it.",
     "Der Vertex genau so transformiert, wie es die feste Pipeline tut."},
    {"faceforward", "N if dot(Nref, I) < 0, otherwise −N.", "N, wenn dot(Nref, I) < 0, sonst −N."},
    {"reflect", "Reflection of the incident vector I about the normal N: I − 2·dot(N, I)·N.",
     "Spiegelung des einfallenden Vektors I an der Normale N: I − 2·dot(N, I)·N."},
    {"refract",
     "Refraction of I at a surface with normal N and index ratio eta; 0 on total "
     "internal reflection.",
     "Brechung von I an einer Fläche mit Normale N und Brechzahlverhältnis eta; 0 bei "
     "Totalreflexion."},
    // Matrices
    {"matrixCompMult", "Component-wise product of two matrices, not the matrix product.",
     "Komponentenweises Produkt zweier Matrizen, nicht das Matrixprodukt."},
    {"outerProduct", "Outer product c·rᵀ: a matrix from a column and a row vector.",
     "Dyadisches Produkt c·rᵀ: eine Matrix aus einem Spalten- und einem Zeilenvektor."},
    {"transpose", "The transposed matrix.", "Die transponierte Matrix."},
    {"determinant", "Determinant of a square matrix.", "Determinante einer quadratischen Matrix."},
    {"inverse", "Inverse of a square matrix; undefined for a singular one.",
     "Inverse einer quadratischen Matrix; undefiniert für eine singuläre."},
    // Vector relations
    {"lessThan", "Component-wise x < y.", "Komponentenweise x < y."},
    {"lessThanEqual", "Component-wise x ≤ y.", "Komponentenweise x ≤ y."},
    {"greaterThan", "Component-wise x > y.", "Komponentenweise x > y."},
    {"greaterThanEqual", "Component-wise x ≥ y.", "Komponentenweise x ≥ y."},
    {"equal", "Component-wise x == y.", "Komponentenweise x == y."},
    {"notEqual", "Component-wise x != y.", "Komponentenweise x != y."},
    {"any", "True if any component of x is true.", "Wahr, wenn eine Komponente von x wahr ist."},
    {"all", "True if every component of x is true.", "Wahr, wenn jede Komponente von x wahr ist."},
    {"not", "Component-wise logical not.", "Komponentenweises logisches Nicht."},
    // Integers
    {"uaddCarry", "x + y modulo 2³², with the carry as out parameter.",
     "x + y modulo 2³², mit dem Übertrag als out-Parameter."},
    {"usubBorrow", "x − y modulo 2³², with the borrow as out parameter.",
     "x − y modulo 2³², mit dem Borger als out-Parameter."},
    {"umulExtended", "The 64-bit product of two unsigned integers, as high and low halves.",
     "Das 64-Bit-Produkt zweier vorzeichenloser Ganzzahlen, als hohe und niedrige Hälfte."},
    {"imulExtended", "The 64-bit product of two signed integers, as high and low halves.",
     "Das 64-Bit-Produkt zweier vorzeichenbehafteter Ganzzahlen, als hohe und niedrige Hälfte."},
    {"bitfieldExtract", "The `bits` bits of value from bit `offset` on.",
     "Die `bits` Bits von value ab Bit `offset`."},
    {"bitfieldInsert", "base with the low `bits` bits of insert put in from bit `offset` on.",
     "base mit den unteren `bits` Bits von insert ab Bit `offset` eingesetzt."},
    {"bitfieldReverse", "The bits in reverse order.", "Die Bits in umgekehrter Reihenfolge."},
    {"bitCount", "The number of bits set to 1.", "Die Anzahl der auf 1 gesetzten Bits."},
    {"findLSB", "Index of the lowest bit set, −1 for zero.",
     "Index des niedrigsten gesetzten Bits, −1 für null."},
    {"findMSB", "Index of the highest bit that differs from the sign bit, −1 for none.",
     "Index des höchsten Bits, das vom Vorzeichenbit abweicht, −1 für keines."},
    {"absoluteDifference", "|x − y|, without overflow.", "|x − y|, ohne Überlauf."},
    {"addSaturate", "x + y, held to the range of the type.",
     "x + y, auf den Wertebereich des Typs begrenzt."},
    {"subtractSaturate", "x − y, held to the range of the type.",
     "x − y, auf den Wertebereich des Typs begrenzt."},
    {"average", "(x + y)/2 rounded down, without overflow.",
     "(x + y)/2 abgerundet, ohne Überlauf."},
    {"averageRounded", "(x + y + 1)/2 rounded down, without overflow.",
     "(x + y + 1)/2 abgerundet, ohne Überlauf."},
    {"countLeadingZeros", "The number of 0 bits above the highest 1 bit.",
     "Die Anzahl der 0-Bits über dem höchsten 1-Bit."},
    {"countTrailingZeros", "The number of 0 bits below the lowest 1 bit.",
     "Die Anzahl der 0-Bits unter dem niedrigsten 1-Bit."},
    {"multiply32x16", "Product of x and the low 16 bits of y.",
     "Produkt von x und den unteren 16 Bits von y."},
    // Textures
    {"textureSize", "Size of a texture level in texels.", "Größe einer Texturstufe in Texeln."},
    {"textureQueryLod", "The mipmap level and level of detail a lookup at P would use.",
     "Die Mipmap-Stufe und der Detailgrad, den ein Zugriff bei P nähme."},
    {"textureQueryLOD", "The mipmap level and level of detail a lookup at P would use.",
     "Die Mipmap-Stufe und der Detailgrad, den ein Zugriff bei P nähme."},
    {"textureQueryLevels", "The number of mipmap levels of a texture.",
     "Die Anzahl der Mipmap-Stufen einer Textur."},
    {"textureSamples", "The number of samples of a multisample texture.",
     "Die Anzahl der Samples einer Multisample-Textur."},
    {"texture", "Samples a texture at P, with an optional level-of-detail bias.",
     "Liest eine Textur bei P, mit optionalem Detailgrad-Versatz."},
    {"textureProj", "Samples with P divided by its last component first.",
     "Liest mit P, das zuerst durch seine letzte Komponente geteilt wird."},
    {"textureLod", "Samples a texture at an explicit level of detail.",
     "Liest eine Textur bei einem ausdrücklich gegebenen Detailgrad."},
    {"textureOffset", "Samples with a constant texel offset added to P.",
     "Liest mit einem konstanten Texelversatz zu P."},
    {"textureGrad", "Samples with explicit derivatives of P.",
     "Liest mit ausdrücklich gegebenen Ableitungen von P."},
    {"textureGather", "One component of each of the four texels a bilinear lookup would use.",
     "Eine Komponente jedes der vier Texel, die ein bilinearer Zugriff nähme."},
    {"texelFetch", "One texel by integer coordinates and level, unfiltered.",
     "Ein Texel über ganzzahlige Koordinaten und Stufe, ungefiltert."},
    {"texelFetchOffset", "texelFetch with a constant texel offset.",
     "texelFetch mit einem konstanten Texelversatz."},
    {"texture1D", "Samples a 1D texture (GLSL 1.x; texture() since 1.30).",
     "Liest eine 1D-Textur (GLSL 1.x; texture() seit 1.30)."},
    {"texture2D", "Samples a 2D texture (GLSL 1.x; texture() since 1.30).",
     "Liest eine 2D-Textur (GLSL 1.x; texture() seit 1.30)."},
    {"texture3D", "Samples a 3D texture (GLSL 1.x; texture() since 1.30).",
     "Liest eine 3D-Textur (GLSL 1.x; texture() seit 1.30)."},
    {"textureCube", "Samples a cube map (GLSL 1.x; texture() since 1.30).",
     "Liest eine Würfeltextur (GLSL 1.x; texture() seit 1.30)."},
    {"subpassLoad", "Reads the input attachment at this fragment's position (Vulkan).",
     "Liest den Eingabeanhang an der Stelle dieses Fragments (Vulkan)."},
    // Atomic counters and memory
    {"atomicCounter", "The value of an atomic counter.", "Der Wert eines atomaren Zählers."},
    {"atomicCounterIncrement", "Adds 1 to an atomic counter; returns its value before.",
     "Erhöht einen atomaren Zähler um 1; gibt seinen Wert davor zurück."},
    {"atomicCounterDecrement", "Subtracts 1 from an atomic counter; returns its value after.",
     "Vermindert einen atomaren Zähler um 1; gibt seinen Wert danach zurück."},
    {"atomicAdd", "Atomically adds data to mem; returns the value before.",
     "Addiert data atomar zu mem; gibt den Wert davor zurück."},
    {"atomicExchange", "Atomically replaces mem with data; returns the value before.",
     "Ersetzt mem atomar durch data; gibt den Wert davor zurück."},
    {"atomicCompSwap",
     "Atomically stores data in mem if mem equals compare; returns the value "
     "before.",
     "Speichert data atomar in mem, wenn mem gleich compare ist; gibt den Wert davor zurück."},
    // Images
    {"imageSize", "Size of an image in pixels.", "Größe eines Bildes in Pixeln."},
    {"imageSamples", "The number of samples of a multisample image.",
     "Die Anzahl der Samples eines Multisample-Bildes."},
    {"imageLoad", "Reads one pixel of an image.", "Liest ein Pixel eines Bildes."},
    {"imageStore", "Writes one pixel of an image.", "Schreibt ein Pixel eines Bildes."},
    // Geometry shaders
    {"EmitVertex", "Emits the outputs' current values as the next vertex of the primitive.",
     "Gibt die aktuellen Werte der Ausgaben als nächsten Vertex des Primitivs aus."},
    {"EndPrimitive", "Ends the current primitive; the next vertex begins a new one.",
     "Beendet das aktuelle Primitiv; der nächste Vertex beginnt ein neues."},
    {"EmitStreamVertex", "EmitVertex on the given output stream.",
     "EmitVertex auf dem angegebenen Ausgabestrom."},
    {"EndStreamPrimitive", "EndPrimitive on the given output stream.",
     "EndPrimitive auf dem angegebenen Ausgabestrom."},
    // Fragment processing
    {"dFdx", "Derivative of p along the window's x axis.",
     "Ableitung von p entlang der x-Achse des Fensters."},
    {"dFdy", "Derivative of p along the window's y axis.",
     "Ableitung von p entlang der y-Achse des Fensters."},
    {"fwidth", "abs(dFdx(p)) + abs(dFdy(p)): how fast p changes from pixel to pixel.",
     "abs(dFdx(p)) + abs(dFdy(p)): wie schnell sich p von Pixel zu Pixel ändert."},
    {"interpolateAtCentroid", "The input interpolated at the centroid of the covered samples.",
     "Die Eingabe, am Schwerpunkt der bedeckten Samples interpoliert."},
    {"interpolateAtSample", "The input interpolated at the given sample.",
     "Die Eingabe, am angegebenen Sample interpoliert."},
    {"interpolateAtOffset", "The input interpolated at an offset from the pixel's centre.",
     "Die Eingabe, mit einem Versatz zur Pixelmitte interpoliert."},
    {"helperInvocation", "True in an invocation that runs only to compute derivatives.",
     "Wahr in einem Aufruf, der nur zur Berechnung von Ableitungen läuft."},
    {"beginInvocationInterlock", "Begins a section run in order by the invocations of a pixel.",
     "Beginnt einen Abschnitt, den die Aufrufe eines Pixels der Reihe nach ausführen."},
    {"endInvocationInterlock", "Ends the section beginInvocationInterlock began.",
     "Beendet den Abschnitt, den beginInvocationInterlock begann."},
    // Barriers and invocation groups
    {"barrier", "Waits until every invocation of the work group or patch has reached it.",
     "Wartet, bis jeder Aufruf der Arbeitsgruppe oder des Patches ihn erreicht hat."},
    {"memoryBarrier", "Makes this invocation's memory writes before it visible to the others.",
     "Macht die Speicherzugriffe dieses Aufrufs davor für die anderen sichtbar."},
    {"groupMemoryBarrier", "memoryBarrier within the work group.",
     "memoryBarrier innerhalb der Arbeitsgruppe."},
    {"controlBarrier", "A barrier with explicit execution and memory scopes.",
     "Eine Barriere mit ausdrücklichem Ausführungs- und Speicherbereich."},
    {"anyInvocation", "True if the value is true in any active invocation of the group.",
     "Wahr, wenn der Wert in einem aktiven Aufruf der Gruppe wahr ist."},
    {"allInvocations", "True if the value is true in every active invocation of the group.",
     "Wahr, wenn der Wert in jedem aktiven Aufruf der Gruppe wahr ist."},
    {"allInvocationsEqual", "True if the value is the same in every active invocation.",
     "Wahr, wenn der Wert in jedem aktiven Aufruf gleich ist."},
    {"ballot", "Bit mask of the active invocations where the value is true.",
     "Bitmaske der aktiven Aufrufe, in denen der Wert wahr ist."},
    {"readInvocation", "The value as a given invocation has it.",
     "Der Wert, wie ihn ein bestimmter Aufruf hat."},
    {"readFirstInvocation", "The value as the first active invocation has it.",
     "Der Wert, wie ihn der erste aktive Aufruf hat."},
    {"mbcnt", "The number of bits of a mask set below this invocation.",
     "Die Anzahl der Bits einer Maske unterhalb dieses Aufrufs."},
    {"writeInvocation", "The value, with another value in one given invocation.",
     "Der Wert, mit einem anderen Wert in einem bestimmten Aufruf."},
    {"min3", "The smallest of three values.", "Der kleinste von drei Werten."},
    {"max3", "The largest of three values.", "Der größte von drei Werten."},
    {"mid3", "The middle one of three values.", "Der mittlere von drei Werten."},
    // Clocks and debugging
    {"clock", "A 64-bit counter of the shader clock, for timing.",
     "Ein 64-Bit-Zähler der Shader-Uhr, zum Messen von Zeiten."},
    {"clock2x32", "The shader clock as two 32-bit halves.",
     "Die Shader-Uhr als zwei 32-Bit-Hälften."},
    {"clockRealtime", "A 64-bit counter of real time, the same for all invocations.",
     "Ein 64-Bit-Zähler der Echtzeit, für alle Aufrufe gleich."},
    {"clockRealtime2x32", "The real-time counter as two 32-bit halves.",
     "Der Echtzeitzähler als zwei 32-Bit-Hälften."},
    {"time", "A 64-bit counter of the shader clock, for timing.",
     "Ein 64-Bit-Zähler der Shader-Uhr, zum Messen von Zeiten."},
    {"debugPrintf", "Prints formatted values to the debug output of the Vulkan layers.",
     "Gibt formatierte Werte in die Debugausgabe der Vulkan-Schichten aus."},
    // Ray tracing and mesh shaders
    {"traceRay", "Traces a ray through an acceleration structure.",
     "Verfolgt einen Strahl durch eine Beschleunigungsstruktur."},
    {"reportIntersection", "Reports a hit at distance t from an intersection shader.",
     "Meldet aus einem Schnittshader einen Treffer im Abstand t."},
    {"executeCallable", "Runs a callable shader.", "Führt einen aufrufbaren Shader aus."},
    {"EmitMeshTasks", "Launches mesh shader work groups from a task shader.",
     "Startet aus einem Task-Shader Arbeitsgruppen des Mesh-Shaders."},
    {"SetMeshOutputs", "Sets the number of vertices and primitives the mesh shader writes.",
     "Setzt die Anzahl der Vertices und Primitive, die der Mesh-Shader schreibt."},
};

// Lines for the names a family shares, keyed by the start of those names.
constexpr const char* kBitsEnglish = "Reads the bits of a value as another type of the same size.";
constexpr const char* kBitsGerman = "Liest die Bits eines Wertes als anderen Typ gleicher Größe.";

constexpr Line kFamilies[] = {
    {"texture",
     "A texture lookup: Proj divides P by its last component, Lod gives the level, "
     "Grad the derivatives, Offset a texel offset, Gather the four texels, Clamp a "
     "limit on the level.",
     "Ein Texturzugriff: Proj teilt P durch seine letzte Komponente, Lod gibt die Stufe, Grad "
     "die Ableitungen, Offset einen Texelversatz, Gather die vier Texel, Clamp eine Grenze des "
     "Detailgrads."},
    {"textureFootprint", "The texels a lookup would touch, as a footprint.",
     "Die Texel, die ein Zugriff berühren würde, als Fußabdruck."},
    {"texel", "A texel fetch by integer coordinates, unfiltered.",
     "Ein Texelzugriff über ganzzahlige Koordinaten, ungefiltert."},
    {"shadow", "Depth comparison in a shadow texture (GLSL 1.x; texture() since 1.30).",
     "Tiefenvergleich in einer Schattentextur (GLSL 1.x; texture() seit 1.30)."},
    {"sparse", "A texture or image read that also returns whether its texels are resident.",
     "Ein Textur- oder Bildzugriff, der auch zurückgibt, ob seine Texel vorhanden sind."},
    {"image", "An image access by integer coordinates.",
     "Ein Bildzugriff über ganzzahlige Koordinaten."},
    {"imageAtomic", "Atomic read-modify-write of an image pixel; returns its value before.",
     "Atomares Lesen-Ändern-Schreiben eines Bildpixels; gibt seinen Wert davor zurück."},
    {"atomic",
     "Atomic read-modify-write of a buffer or shared variable; returns its value "
     "before.",
     "Atomares Lesen-Ändern-Schreiben einer Puffer- oder geteilten Variable; gibt ihren Wert "
     "davor zurück."},
    {"atomicCounter", "Atomic operation on an atomic counter; returns its value before.",
     "Atomare Operation auf einem atomaren Zähler; gibt seinen Wert davor zurück."},
    {"memoryBarrier",
     "memoryBarrier for one kind of memory: buffers, images, shared variables "
     "or atomic counters.",
     "memoryBarrier für eine Art Speicher: Puffer, Bilder, geteilte Variablen oder atomare "
     "Zähler."},
    {"dFd",
     "Derivative of p in window coordinates: Fine from neighbouring pixels, Coarse "
     "possibly per 2×2 block.",
     "Ableitung von p in Fensterkoordinaten: Fine aus Nachbarpixeln, Coarse womöglich je "
     "2×2-Block."},
    {"fwidth", "fwidth from fine or coarse derivatives.",
     "fwidth aus feinen oder groben Ableitungen."},
    {"interpolateAt", "The input interpolated at another place of the pixel.",
     "Die Eingabe, an einer anderen Stelle des Pixels interpoliert."},
    {"noise", "Pseudo-random noise; most drivers return 0.",
     "Pseudozufälliges Rauschen; die meisten Treiber geben 0 zurück."},
    {"pack", "Packs components into fewer, wider integers.",
     "Packt Komponenten in weniger, breitere Ganzzahlen."},
    {"unpack", "Unpacks an integer into narrower components.",
     "Entpackt eine Ganzzahl in schmalere Komponenten."},
    {"subgroup", "Shares, votes on or combines values among the invocations of a subgroup.",
     "Teilt, prüft oder verknüpft Werte unter den Aufrufen einer Untergruppe."},
    {"addInvocations", "Sum over the active invocations; the suffixes give scans.",
     "Summe über die aktiven Aufrufe; die Endungen geben Präfixsummen."},
    {"minInvocations", "Minimum over the active invocations; the suffixes give scans.",
     "Minimum über die aktiven Aufrufe; die Endungen geben Präfixminima."},
    {"maxInvocations", "Maximum over the active invocations; the suffixes give scans.",
     "Maximum über die aktiven Aufrufe; die Endungen geben Präfixmaxima."},
    {"swizzleInvocations", "Exchanges values among invocations by a fixed pattern.",
     "Tauscht Werte unter Aufrufen nach einem festen Muster."},
    {"cubeFace", "The cube face a direction points to, or the coordinates on it.",
     "Die Würfelseite, auf die eine Richtung zeigt, oder die Koordinaten darauf."},
    {"fragment", "Reads a fragment of a multisample texture by its index, or their mask.",
     "Liest ein Fragment einer Multisample-Textur über seinen Index, oder deren Maske."},
    {"rayQuery", "A step of a ray query through an acceleration structure.",
     "Ein Schritt einer Strahlabfrage durch eine Beschleunigungsstruktur."},
    {"coopMat", "An operation on a matrix shared by a subgroup.",
     "Eine Operation auf einer Matrix, die sich eine Untergruppe teilt."},
    {"ignoreIntersection", "Discards the candidate hit of an any-hit shader.",
     "Verwirft den möglichen Treffer eines Any-Hit-Shaders."},
    {"terminateRay", "Ends the ray's traversal at the current hit.",
     "Beendet die Verfolgung des Strahls beim aktuellen Treffer."},
    {"writePackedPrimitiveIndices", "Writes four 8-bit primitive indices at once.",
     "Schreibt vier 8-Bit-Primitivindizes auf einmal."},
    {"float16BitsTo", kBitsEnglish, kBitsGerman},
    {"halfBitsTo", kBitsEnglish, kBitsGerman},
    {"halhBitsTo", kBitsEnglish, kBitsGerman},  // as the front end spells one of them
    {"int16BitsTo", kBitsEnglish, kBitsGerman},
    {"uint16BitsTo", kBitsEnglish, kBitsGerman},
    {"doubleBitsTo", kBitsEnglish, kBitsGerman},
    {"int64BitsTo", kBitsEnglish, kBitsGerman},
    {"uint64BitsTo", kBitsEnglish, kBitsGerman},
};

constexpr const char* kVendorSuffixes[] = {"ARB", "EXT", "KHR", "AMD", "NV", "INTEL"};

const QHash<QString, const Line*>& functionLines() {
    static const QHash<QString, const Line*> lines = [] {
        QHash<QString, const Line*> h;
        for (const Line& l : kFunctions)
            h.insert(QString::fromLatin1(l.name), &l);
        return h;
    }();
    return lines;
}

const Line* lineFor(const QString& name) {
    const auto& own = functionLines();
    if (const auto it = own.constFind(name); it != own.cend())
        return *it;
    // An extension's variant says what its core function says.
    for (const char* suffix : kVendorSuffixes) {
        if (!name.endsWith(QLatin1StringView(suffix)))
            continue;
        const QString core = name.chopped(qsizetype(qstrlen(suffix)));
        if (const auto it = own.constFind(core); it != own.cend())
            return *it;
    }
    const Line* best = nullptr;
    qsizetype bestLength = 0;
    for (const Line& family : kFamilies) {
        const QLatin1StringView prefix(family.name);
        if (prefix.size() > bestLength && name.startsWith(prefix)) {
            best = &family;
            bestLength = prefix.size();
        }
    }
    return best;
}

}  // namespace

QString builtinDoc(const QString& name, bool german) {
    const Line* line = lineFor(name);
    if (!line)
        return {};
    return QString::fromUtf8(german ? line->german : line->english);
}

}  // namespace tessory::glsl
