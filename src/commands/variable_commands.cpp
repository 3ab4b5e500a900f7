// Variable and arithmetic commands: registers, named variables, arithmetic, trigonometry,
// random numbers, time, saving the register banks, console output and quitting.
#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "commands/commands.h"
#include "objects/human.h"
#include "objects/vector_math.h"
#include "script/script_file.h"
#include "script/variables.h"
#include "shell/output.h"
#include "shell/startup.h"
#include "shell/timed_tasks.h"

namespace {
// Echo texts are line buffers; a value comment is appended within this size.
constexpr size_t kEchoSize = 512;

void Echo(char* buffer, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Echo(char* buffer, const char* format, ...) {
  if (!buffer) return;
  size_t used = strnlen(buffer, kEchoSize - 1);
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer + used, kEchoSize - used, format, args);
  va_end(args);
}

// A quoted variable name and a register number: "name",n. Returns false without a name.
bool ReadNameAndRegister(const char* parms, char* name, int* n) {
  name[0] = '\0';
  std::sscanf(parms, "\"%64[^\"]\",%d", name, n);
  return name[0] != '\0';
}

// The second operand of the register forms: a literal, or a register fk, ik, bk or sk.
struct Operand {
  char bank;  // 0 for a literal, else 'f', 'i', 'b' or 's'
  int reg;
  double literal;
};

// Reads "n,operand". An integer literal is read with %d, a float literal with %f.
bool ReadTargetAndOperand(const char* parms, bool floatLiteral, int* n, Operand* op) {
  int consumed = 0;
  if (std::sscanf(parms, "%d,%n", n, &consumed) < 1 || consumed == 0) return false;
  const char* rest = parms + consumed;
  op->bank = 0;
  op->reg = 0;
  op->literal = 0;
  if (std::strchr("fibs", rest[0]) && rest[0] &&
      (std::isdigit(static_cast<unsigned char>(rest[1])) || rest[1] == '-' || rest[1] == '+')) {
    op->bank = rest[0];
    return std::sscanf(rest + 1, "%d", &op->reg) == 1;
  }
  if (floatLiteral) {
    float f = 0;
    if (std::sscanf(rest, "%f", &f) != 1) return false;
    op->literal = f;
  } else {
    int i = 0;
    if (std::sscanf(rest, "%d", &i) != 1) return false;
    op->literal = i;
  }
  return true;
}

// Two's-complement wrap of an integer result, as the registers' 32-bit arithmetic does.
int32_t Wrap(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }

// n defaults to 1 and 0 means 1.
int RegisterOrFirst(int n) { return n == 0 ? 1 : n; }

// Decodes "n,operand" for a command whose target is in the int or the float bank. A text
// whose target or operand register does not exist, or whose operand is a string register
// where none is accepted, decodes to nothing (the command then leaves every register as it
// is). Only where the registers are is decoded; their values are read at every run.
void DecodeRegisterOperation(const char* parms, bool floatTarget, bool acceptString, ZNK_DecodedFunction run,
                             ZNK_decodedParms* d) {
  *d = ZNK_decodedParms();
  int n = 0;
  Operand op;
  if (!ReadTargetAndOperand(parms, floatTarget, &n, &op)) return;
  void* target = floatTarget ? static_cast<void*>(FloatRegister(n)) : static_cast<void*>(IntRegister(n));
  if (!target) return;
  const void* source = nullptr;
  switch (op.bank) {
    case 'f': source = FloatRegister(op.reg); break;
    case 'i': source = IntRegister(op.reg); break;
    case 'b': source = BoolRegister(op.reg); break;
    case 's': source = acceptString ? StringRegister(op.reg) : nullptr; break;
    default: break;
  }
  if (op.bank && !source) return;
  d->target = target;
  d->source = source;
  d->sourceBank = op.bank;
  d->literal = op.literal;
  d->run = run;
}

// The operand's value now. Int commands take a float register truncated toward zero and a
// string register through atoi; float commands take them whole and through atof.
inline double OperandNow(const ZNK_decodedParms* d, bool intCommand) {
  switch (d->sourceBank) {
    case 'f': {
      double v = *static_cast<const double*>(d->source);
      return intCommand ? TruncateToInt(v) : v;
    }
    case 'i':
    case 'b':
      return *static_cast<const int32_t*>(d->source);
    case 's': {
      const char* text = static_cast<const char*>(d->source);
      return intCommand ? std::atoi(text) : std::atof(text);
    }
    default:
      return d->literal;
  }
}

inline int32_t* IntTarget(const ZNK_decodedParms* d) { return static_cast<int32_t*>(d->target); }
inline double* FloatTarget(const ZNK_decodedParms* d) { return static_cast<double*>(d->target); }
inline int64_t IntOperand(const ZNK_decodedParms* d) { return static_cast<int64_t>(OperandNow(d, true)); }
// Float arithmetic holds its operand in single precision; the register keeps double.
inline double FloatOperand(const ZNK_decodedParms* d) { return static_cast<float>(OperandNow(d, false)); }

void RunSetInt(const ZNK_decodedParms* d) { *IntTarget(d) = static_cast<int32_t>(OperandNow(d, true)); }
void RunSetFloat(const ZNK_decodedParms* d) { *FloatTarget(d) = static_cast<float>(OperandNow(d, false)); }
void RunSetBool(const ZNK_decodedParms* d) {
  *IntTarget(d) = d->source ? *static_cast<const int32_t*>(d->source) : static_cast<int32_t>(d->literal);
}
void RunAddi(const ZNK_decodedParms* d) { *IntTarget(d) = Wrap(*IntTarget(d) + IntOperand(d)); }
void RunMulti(const ZNK_decodedParms* d) { *IntTarget(d) = Wrap(*IntTarget(d) * IntOperand(d)); }
void RunDivi(const ZNK_decodedParms* d) {
  int64_t value = IntOperand(d);
  if (value != 0) *IntTarget(d) = Wrap(*IntTarget(d) / value);
}
void RunPowi(const ZNK_decodedParms* d) {
  double p = std::pow(static_cast<double>(*IntTarget(d)), static_cast<double>(IntOperand(d)));
  *IntTarget(d) = TruncateToInt(static_cast<float>(p));
}
void RunAddf(const ZNK_decodedParms* d) { *FloatTarget(d) += FloatOperand(d); }
void RunMultf(const ZNK_decodedParms* d) { *FloatTarget(d) *= FloatOperand(d); }
void RunDivf(const ZNK_decodedParms* d) {
  double value = FloatOperand(d);
  if (value != 0.0) *FloatTarget(d) /= value;
}
void RunPowf(const ZNK_decodedParms* d) { *FloatTarget(d) = std::pow(*FloatTarget(d), FloatOperand(d)); }

// A command given as text, decoded and carried out as the compiled runner does it; false
// when the text names nothing to run on.
bool RunDecoded(const char* parms, ZNK_DecodeFunction decode, ZNK_decodedParms* d) {
  decode(parms, d);
  if (!d->run) return false;
  d->run(d);
  return true;
}

char* RunFromText(const char* parms, ZNK_DecodeFunction decode) {
  ZNK_decodedParms d;
  RunDecoded(parms, decode, &d);
  return nullptr;
}

// Target and source float registers of the trigonometric commands, both defaulting to 1.
bool TrigRegisters(const char* parms, double** target, double** source) {
  int t = 1, s = 1;
  std::sscanf(parms, "%d,%d", &t, &s);
  *target = FloatRegister(t);
  *source = FloatRegister(s);
  return *target && *source;
}

char* Trig(char* parms, char* buffer, double (*f)(double)) {
  double *target, *source;
  if (!TrigRegisters(parms, &target, &source)) return nullptr;
  *target = f(*source);
  Echo(buffer, " // %f", *target);
  return nullptr;
}

double SinDegrees(double x) { return std::sin(x / kRadiansToDegrees); }
double CosDegrees(double x) { return std::cos(x / kRadiansToDegrees); }
double TanDegrees(double x) { return std::tan(x / kRadiansToDegrees); }
double Asin(double x) { return std::atan2(x, std::sqrt(1.0 - x * x)); }
double AsinDegrees(double x) { return Asin(x) * kRadiansToDegrees; }
double AcosDegrees(double x) { return (M_PI / 2.0 - Asin(x)) * kRadiansToDegrees; }
double AtanDegrees(double x) { return std::atan(x) * kRadiansToDegrees; }

vector_type FloatRegisterVector(int first) {
  return {static_cast<float>(gScriptVars.floats[first - 1]), static_cast<float>(gScriptVars.floats[first]),
          static_cast<float>(gScriptVars.floats[first + 1])};
}

// Whether float registers n..n+2 exist.
bool HasThreeFloats(int n) { return n >= 1 && n + 2 <= kNumRegisters; }

double ClampUnit(double v) { return v < -1.0 ? -1.0 : (v > 1.0 ? 1.0 : v); }

void CopyBanks(const char* letters, variable_list* to, const variable_list* from) {
  if (std::strchr(letters, 'f')) std::memcpy(to->floats, from->floats, sizeof to->floats);
  if (std::strchr(letters, 'i')) std::memcpy(to->ints, from->ints, sizeof to->ints);
  if (std::strchr(letters, 'b')) std::memcpy(to->bools, from->bools, sizeof to->bools);
  if (std::strchr(letters, 's')) std::memcpy(to->strings, from->strings, sizeof to->strings);
}
}  // namespace

// ---- Decoding the register commands ----

void DecodeSetInt(const char* parms, ZNK_decodedParms* d) { DecodeRegisterOperation(parms, false, true, RunSetInt, d); }
void DecodeSetFloat(const char* parms, ZNK_decodedParms* d) { DecodeRegisterOperation(parms, true, true, RunSetFloat, d); }
void DecodeAddi(const char* parms, ZNK_decodedParms* d) { DecodeRegisterOperation(parms, false, false, RunAddi, d); }
void DecodeMulti(const char* parms, ZNK_decodedParms* d) { DecodeRegisterOperation(parms, false, false, RunMulti, d); }
void DecodeDivi(const char* parms, ZNK_decodedParms* d) { DecodeRegisterOperation(parms, false, false, RunDivi, d); }
void DecodePowi(const char* parms, ZNK_decodedParms* d) { DecodeRegisterOperation(parms, false, false, RunPowi, d); }
void DecodeAddf(const char* parms, ZNK_decodedParms* d) { DecodeRegisterOperation(parms, true, false, RunAddf, d); }
void DecodeMultf(const char* parms, ZNK_decodedParms* d) { DecodeRegisterOperation(parms, true, false, RunMultf, d); }
void DecodeDivf(const char* parms, ZNK_decodedParms* d) { DecodeRegisterOperation(parms, true, false, RunDivf, d); }
void DecodePowf(const char* parms, ZNK_decodedParms* d) { DecodeRegisterOperation(parms, true, false, RunPowf, d); }

// setb: "n,true", "n,false" or "n,bk"; any other word leaves the register unchanged.
void DecodeSetBool(const char* parms, ZNK_decodedParms* d) {
  *d = ZNK_decodedParms();
  int n = 0;
  char word[6] = "";
  if (std::sscanf(parms, "%d,%5s", &n, word) != 2) return;
  int32_t* r = BoolRegister(n);
  if (!r) return;
  if (!std::strcmp(word, "true")) {
    d->literal = 1;
  } else if (!std::strcmp(word, "false")) {
    d->literal = 0;
  } else if (word[0] == 'b' && std::isdigit(static_cast<unsigned char>(word[1]))) {
    d->source = BoolRegister(std::atoi(word + 1));
    if (!d->source) return;
    d->sourceBank = 'b';
  } else {
    return;
  }
  d->target = r;
  d->run = RunSetBool;
}

// ---- Named variables ----
// The name and the register are decoded once; the variable itself is looked up at every
// run, since the selected object's own variables come first and change with the selection,
// a later def can make the name, and a store retypes what a later load converts.

namespace {
// "name",n with the register of `bank` (null when it does not exist); loads and stores
// read n = 0 as 1 where `zeroMeansFirst`.
void DecodeNamedVariable(const char* parms, char bank, bool zeroMeansFirst, ZNK_DecodedFunction run,
                         ZNK_decodedParms* d) {
  *d = ZNK_decodedParms();
  int n = 1;
  if (!ReadNameAndRegister(parms, d->name, &n)) return;
  if (zeroMeansFirst) n = RegisterOrFirst(n);
  switch (bank) {
    case 'f': d->target = FloatRegister(n); break;
    case 'i': d->target = IntRegister(n); break;
    case 'b': d->target = BoolRegister(n); break;
    case 's': d->target = StringRegister(n); break;
  }
  if (d->target) d->run = run;
}

char* StringTarget(const ZNK_decodedParms* d) { return static_cast<char*>(d->target); }

void RunLoadInt(const ZNK_decodedParms* d) { *IntTarget(d) = GetInt(d->name); }
void RunLoadFloat(const ZNK_decodedParms* d) { *FloatTarget(d) = GetFloat(d->name); }
void RunLoadBool(const ZNK_decodedParms* d) { *IntTarget(d) = GetBoolean(d->name); }
void RunLoadString(const ZNK_decodedParms* d) {
  const char* value = GetString_ZNK(d->name);
  if (value != StringTarget(d)) ZNK_CopyString(StringTarget(d), value, kStringRegisterSize);
}
void RunStoreInt(const ZNK_decodedParms* d) { SetInt(d->name, *IntTarget(d)); }
void RunStoreFloat(const ZNK_decodedParms* d) { SetFloat(d->name, static_cast<float>(*FloatTarget(d))); }
void RunStoreBool(const ZNK_decodedParms* d) { SetBoolean(d->name, *IntTarget(d)); }
void RunStoreString(const ZNK_decodedParms* d) {
  // A script variable holds 31 characters and its end mark: the register is cut for the
  // call and restored afterwards.
  char* r = StringTarget(d);
  constexpr size_t kCut = kVariableStorageSize - 1;
  char kept = '\0';
  bool cut = std::strlen(r) > kCut;
  if (cut) {
    kept = r[kCut];
    r[kCut] = '\0';
  }
  SetString_ZNK(d->name, r);
  if (cut) r[kCut] = kept;
}
}  // namespace

void DecodeLoadInt(const char* parms, ZNK_decodedParms* d) { DecodeNamedVariable(parms, 'i', true, RunLoadInt, d); }
void DecodeLoadFloat(const char* parms, ZNK_decodedParms* d) { DecodeNamedVariable(parms, 'f', true, RunLoadFloat, d); }
void DecodeLoadBool(const char* parms, ZNK_decodedParms* d) { DecodeNamedVariable(parms, 'b', true, RunLoadBool, d); }
void DecodeLoadString(const char* parms, ZNK_decodedParms* d) { DecodeNamedVariable(parms, 's', true, RunLoadString, d); }
void DecodeStoreInt(const char* parms, ZNK_decodedParms* d) { DecodeNamedVariable(parms, 'i', false, RunStoreInt, d); }
void DecodeStoreFloat(const char* parms, ZNK_decodedParms* d) { DecodeNamedVariable(parms, 'f', false, RunStoreFloat, d); }
void DecodeStoreBool(const char* parms, ZNK_decodedParms* d) { DecodeNamedVariable(parms, 'b', false, RunStoreBool, d); }
void DecodeStoreString(const char* parms, ZNK_decodedParms* d) { DecodeNamedVariable(parms, 's', true, RunStoreString, d); }

// From a text, a load also appends the value to the echo text when one is given.
char* znkinstr_loadInt(char* parms, char* buffer) {
  ZNK_decodedParms d;
  if (RunDecoded(parms, DecodeLoadInt, &d)) Echo(buffer, " // %d", *IntTarget(&d));
  return nullptr;
}

char* znkinstr_loadFloat(char* parms, char* buffer) {
  ZNK_decodedParms d;
  if (RunDecoded(parms, DecodeLoadFloat, &d)) Echo(buffer, " // %f", *FloatTarget(&d));
  return nullptr;
}

char* znkinstr_loadBool(char* parms, char* buffer) {
  ZNK_decodedParms d;
  if (RunDecoded(parms, DecodeLoadBool, &d)) Echo(buffer, *IntTarget(&d) ? " // true" : " // false");
  return nullptr;
}

char* znkinstr_loadString(char* parms, char* buffer) {
  ZNK_decodedParms d;
  if (RunDecoded(parms, DecodeLoadString, &d)) Echo(buffer, " // %s", StringTarget(&d));
  return nullptr;
}

// storei with an empty text does nothing (no name can be read from it either).
char* znkinstr_storeInt(char* parms, char* buffer) { return RunFromText(parms, DecodeStoreInt); }
char* znkinstr_storeFloat(char* parms, char* buffer) { return RunFromText(parms, DecodeStoreFloat); }
char* znkinstr_storeBool(char* parms, char* buffer) { return RunFromText(parms, DecodeStoreBool); }
char* znkinstr_storeString(char* parms, char* buffer) { return RunFromText(parms, DecodeStoreString); }

char* znkinstr_def(char* parms, char* buffer) {
  char name[kVariableNameLength + 1] = "";
  char flag = 0;
  if (parms[0] == '"') {
    std::sscanf(parms, "\"%64[^\"]\",%c", name, &flag);
  } else {
    std::sscanf(parms, "%64s", name);  // the whole text is the name
  }
  if (!name[0]) return nullptr;
  if (flag == 'p' && selHuman)
    InstallHumanVariablePointer(selHuman, name, nullptr, 1, kVarText);
  else
    InstallZNKVariablePointer(name, nullptr, 1, kVarText);
  return nullptr;
}

// ---- Setting registers ----

char* znkinstr_setInt(char* parms, char* buffer) { return RunFromText(parms, DecodeSetInt); }

char* znkinstr_setFloat(char* parms, char* buffer) { return RunFromText(parms, DecodeSetFloat); }

char* znkinstr_setBool(char* parms, char* buffer) { return RunFromText(parms, DecodeSetBool); }

char* znkinstr_setString(char* parms, char* buffer) {
  int n = 0;
  char c = 0;
  if (std::sscanf(parms, "%d,%c", &n, &c) != 2) return nullptr;
  if (c == '"') {
    char number[kMaxParmsLength + 1] = "";
    std::sscanf(parms, "%479[^,]", number);
    n = TruncateToInt(std::atof(number));
    std::string text(parms + std::strlen(number) + 2);
    if (!text.empty()) text.pop_back();  // the closing quote
    if (n < 1 || n > kNumRegisters) n = 1;
    InterpretEscapeSequences(&text[0]);
    ZNK_CopyString(StringRegister(n), text.c_str(), kStringRegisterSize);
    return nullptr;
  }
  char rest[kMaxParmsLength + 1] = "";
  std::sscanf(parms, "%d,%c%479s", &n, &c, rest);
  int k = std::atoi(rest);
  if (k < 1) k = 1;
  if (n < 1) n = 1;
  char* target = StringRegister(n);
  if (!target) return nullptr;
  switch (c) {
    case 'b':
      if (int32_t* r = BoolRegister(k)) ZNK_CopyString(target, *r ? "true" : "false", kStringRegisterSize);
      break;
    case 'f':
      if (double* r = FloatRegister(k)) std::snprintf(target, kStringRegisterSize, "%f", *r);
      break;
    case 'i':
      if (int32_t* r = IntRegister(k)) std::snprintf(target, kStringRegisterSize, "%d", *r);
      break;
    case 's':
      if (k != n)
        if (char* r = StringRegister(k)) ZNK_CopyString(target, r, kStringRegisterSize);
      break;
    default:
      break;
  }
  return nullptr;
}

char* znkinstr_append(char* parms, char* buffer) {
  int a = 1, b = 2;
  std::sscanf(parms, "%d,%d", &a, &b);
  if (a < 1) a = 1;
  if (b < 1) b = 1;
  char* first = StringRegister(a);
  char* second = StringRegister(b);
  if (!first || !second) return nullptr;
  // The second register may be the first: append from a copy.
  std::string tail(second);
  size_t used = std::strlen(first);
  ZNK_CopyString(first + used, tail.c_str(), kStringRegisterSize - used);
  return nullptr;
}

// ---- Integer arithmetic ----

char* znkinstr_addi(char* parms, char* buffer) { return RunFromText(parms, DecodeAddi); }

char* znkinstr_multi(char* parms, char* buffer) { return RunFromText(parms, DecodeMulti); }

char* znkinstr_divi(char* parms, char* buffer) { return RunFromText(parms, DecodeDivi); }

char* znkinstr_powi(char* parms, char* buffer) { return RunFromText(parms, DecodePowi); }

// ---- Float arithmetic ----

char* znkinstr_addf(char* parms, char* buffer) { return RunFromText(parms, DecodeAddf); }

char* znkinstr_multf(char* parms, char* buffer) { return RunFromText(parms, DecodeMultf); }

char* znkinstr_divf(char* parms, char* buffer) { return RunFromText(parms, DecodeDivf); }

char* znkinstr_powf(char* parms, char* buffer) { return RunFromText(parms, DecodePowf); }

char* znkinstr_reciproc(char* parms, char* buffer) {
  int n = 1;
  std::sscanf(parms, "%d", &n);
  double* r = FloatRegister(RegisterOrFirst(n));
  if (!r) return nullptr;
  *r = 1.0 / *r;
  Echo(buffer, " // %f", *r);
  return nullptr;
}

char* znkinstr_sqrt(char* parms, char* buffer) {
  int source = 0, target = 0;
  if (std::sscanf(parms, "%d,%d", &source, &target) != 2) return nullptr;
  double* s = FloatRegister(source);
  double* t = FloatRegister(target);
  if (s && t) *t = std::sqrt(*s);
  return nullptr;
}

// ---- Trigonometry (degrees) ----

char* znkinstr_sin(char* parms, char* buffer) { return Trig(parms, buffer, SinDegrees); }
char* znkinstr_cos(char* parms, char* buffer) { return Trig(parms, buffer, CosDegrees); }
char* znkinstr_tan(char* parms, char* buffer) { return Trig(parms, buffer, TanDegrees); }
char* znkinstr_asin(char* parms, char* buffer) { return Trig(parms, buffer, AsinDegrees); }
char* znkinstr_acos(char* parms, char* buffer) { return Trig(parms, buffer, AcosDegrees); }
char* znkinstr_atan(char* parms, char* buffer) { return Trig(parms, buffer, AtanDegrees); }

// ---- Vectors: the first point is f1..f3, the second f4..f6 ----

char* znkinstr_dist(char* parms, char* buffer) {
  int n = 1;
  std::sscanf(parms, "%d", &n);
  double* r = FloatRegister(n);
  if (!r) return nullptr;
  *r = vectorDistance(FloatRegisterVector(1), FloatRegisterVector(4));
  Echo(buffer, " // %f", *r);
  return nullptr;
}

char* znkinstr_dir(char* parms, char* buffer) {
  int n = 1;
  std::sscanf(parms, "%d", &n);
  if (!HasThreeFloats(n)) return nullptr;
  vector_type a = FloatRegisterVector(1), b = FloatRegisterVector(4);
  vector_type d = {b.x - a.x, b.y - a.y, b.z - a.z};
  Normalize(&d);
  gScriptVars.floats[n - 1] = d.x;
  gScriptVars.floats[n] = d.y;
  gScriptVars.floats[n + 1] = d.z;
  Echo(buffer, " // %f,%f,%f", d.x, d.y, d.z);
  return nullptr;
}

char* znkinstr_dirToAngles(char* parms, char* buffer) {
  int source = 1, target = 1;
  std::sscanf(parms, "%d,%d", &source, &target);
  if (!HasThreeFloats(source) || !HasThreeFloats(target)) return nullptr;
  vector_type d = FloatRegisterVector(source);
  vector_type t = {d.x, 0.0f, d.z};
  Normalize(&t);
  double yaw = (M_PI / 2.0 - std::asin(ClampUnit(t.z))) * kRadiansToDegrees;
  if (d.x < 0) yaw = -yaw;
  float h = static_cast<float>(std::sqrt(squareOf(d.x) + squareOf(d.z)));
  vector_type u = {0.0f, d.y, h};
  Normalize(&u);
  double pitch = -std::asin(ClampUnit(u.y)) * kRadiansToDegrees;
  gScriptVars.floats[target - 1] = pitch;
  gScriptVars.floats[target] = yaw;
  gScriptVars.floats[target + 1] = 0.0;
  Echo(buffer, " // %f,%f,%f", pitch, yaw, 0.0);
  return nullptr;
}

// ---- Random numbers and time ----

char* znkinstr_randi(char* parms, char* buffer) {
  int32_t r = static_cast<int32_t>(RANROT_rand());
  int from = 0, to = 0, n = 1;
  std::sscanf(parms, "%d,%d,%d", &from, &to, &n);
  if (n < 1) n = 1;
  int32_t* target = IntRegister(n);
  if (!target) return nullptr;
  int64_t span = std::llabs(static_cast<int64_t>(to) - from) + 1;
  int64_t rest = static_cast<int64_t>(r) % span;
  *target = Wrap((rest < 0 ? -rest : rest) + from);
  Echo(buffer, " // %d, %d", *target, to);
  return nullptr;
}

char* znkinstr_time(char* parms, char* buffer) {
  int n = 1;
  std::sscanf(parms, "%d", &n);
  double* r = FloatRegister(n);
  if (!r) return nullptr;
  *r = gCurrentTime / 1000.0;
  Echo(buffer, " // %f", *r);
  return nullptr;
}

char* znkinstr_passed(char* parms, char* buffer) {
  int n = 1;
  std::sscanf(parms, "%d", &n);
  double* r = FloatRegister(n < 1 ? 1 : n);
  if (!r) return nullptr;
  *r = static_cast<uint32_t>(gCurrentTime - gOldTime) / 1000.0;
  Echo(buffer, " // %f", *r);
  return nullptr;
}

// ---- Saving registers, output, quitting ----

char* znkinstr_push(char* parms, char* buffer) {
  CopyBanks(parms, &gScriptVars2, &gScriptVars);
  return nullptr;
}

char* znkinstr_pop(char* parms, char* buffer) {
  CopyBanks(parms, &gScriptVars, &gScriptVars2);
  return nullptr;
}

char* znkinstr_output(char* parms, char* buffer) {
  size_t n = std::strlen(parms);
  if (n == 0) {
    OutputToConsole(gScriptVars.strings[0]);
    return nullptr;
  }
  // The first and the last character (the quotes) are dropped.
  std::string text(parms + 1, n >= 2 ? n - 2 : 0);
  InterpretEscapeSequences(&text[0]);
  OutputToConsole(text.c_str());
  return nullptr;
}

char* znkinstr_quit(char* parms, char* buffer) {
  doIdle = 0;
  return nullptr;
}
