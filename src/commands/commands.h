// Every command function of the script language. Each takes the parameter text of its
// line and an optional echo text (null in every call the engine makes) and returns
// nothing that anybody reads; results go to registers or engine state.
#pragma once

typedef char* (*ZNK_CommandFunction)(char* parms, char* buffer);

// A command's parameters decoded once, when its line is compiled (parameter texts never
// change afterwards): the register it writes and the register or literal it reads. The
// registers' values are read when the command runs; only where they are is fixed. A command
// family that can decode a command's text gives it a decode function; the compiled runner
// then calls `run` with this record instead of handing the command its text again.
struct ZNK_decodedParms;
typedef void (*ZNK_DecodedFunction)(const ZNK_decodedParms* d);
struct ZNK_decodedParms {
  ZNK_DecodedFunction run;  // null: the text asks for nothing (no such register, no operand)
  void* target;             // the register written
  const void* source;       // the register read, or null for a literal
  char sourceBank;          // 'f', 'i', 'b' or 's' for a register, 0 for a literal
  double literal;
  char name[65];            // a named variable's name (the variable is looked up at every run)
};
typedef void (*ZNK_DecodeFunction)(const char* parms, ZNK_decodedParms* d);

// object commands (object_commands.cpp)
char* znkinstr_get(char* parms, char* buffer);
char* znkinstr_player(char* parms, char* buffer);
char* znkinstr_bone(char* parms, char* buffer);
char* znkinstr_mark(char* parms, char* buffer);
char* znkinstr_axis(char* parms, char* buffer);
char* znkinstr_put(char* parms, char* buffer);
char* znkinstr_spin(char* parms, char* buffer);
char* znkinstr_size3D(char* parms, char* buffer);
char* znkinstr_move(char* parms, char* buffer);
char* znkinstr_go(char* parms, char* buffer);
char* znkinstr_fly(char* parms, char* buffer);
char* znkinstr_ghost(char* parms, char* buffer);
char* znkinstr_make(char* parms, char* buffer);
char* znkinstr_clone(char* parms, char* buffer);
char* znkinstr_off(char* parms, char* buffer);
char* znkinstr_boom(char* parms, char* buffer);
char* znkinstr_level(char* parms, char* buffer);
char* znkinstr_mesh(char* parms, char* buffer);
char* znkinstr_setName(char* parms, char* buffer);
char* znkinstr_getName(char* parms, char* buffer);
char* znkinstr_getModel(char* parms, char* buffer);
char* znkinstr_getID(char* parms, char* buffer);
char* znkinstr_getByID(char* parms, char* buffer);
char* znkinstr_numobjects(char* parms, char* buffer);
char* znkinstr_type(char* parms, char* buffer);
char* znkinstr_getTeam(char* parms, char* buffer);
char* znkinstr_setTeam(char* parms, char* buffer);
char* znkinstr_script(char* parms, char* buffer);
char* znkinstr_deletescript(char* parms, char* buffer);
char* znkinstr_event(char* parms, char* buffer);
char* znkinstr_poseanim(char* parms, char* buffer);
char* znkinstr_straight(char* parms, char* buffer);
char* znkinstr_pushAnim(char* parms, char* buffer);
char* znkinstr_boxbones(char* parms, char* buffer);

// variable commands (variable_commands.cpp)
char* znkinstr_loadInt(char* parms, char* buffer);
char* znkinstr_loadFloat(char* parms, char* buffer);
char* znkinstr_loadBool(char* parms, char* buffer);
char* znkinstr_loadString(char* parms, char* buffer);
char* znkinstr_storeInt(char* parms, char* buffer);
char* znkinstr_storeFloat(char* parms, char* buffer);
char* znkinstr_storeBool(char* parms, char* buffer);
char* znkinstr_storeString(char* parms, char* buffer);
char* znkinstr_def(char* parms, char* buffer);
char* znkinstr_setInt(char* parms, char* buffer);
char* znkinstr_setFloat(char* parms, char* buffer);
char* znkinstr_setBool(char* parms, char* buffer);
char* znkinstr_setString(char* parms, char* buffer);
char* znkinstr_append(char* parms, char* buffer);
char* znkinstr_addi(char* parms, char* buffer);
char* znkinstr_multi(char* parms, char* buffer);
char* znkinstr_divi(char* parms, char* buffer);
char* znkinstr_powi(char* parms, char* buffer);
char* znkinstr_addf(char* parms, char* buffer);
char* znkinstr_multf(char* parms, char* buffer);
char* znkinstr_divf(char* parms, char* buffer);
char* znkinstr_powf(char* parms, char* buffer);
char* znkinstr_reciproc(char* parms, char* buffer);
char* znkinstr_sqrt(char* parms, char* buffer);
char* znkinstr_sin(char* parms, char* buffer);
char* znkinstr_cos(char* parms, char* buffer);
char* znkinstr_tan(char* parms, char* buffer);
char* znkinstr_asin(char* parms, char* buffer);
char* znkinstr_acos(char* parms, char* buffer);
char* znkinstr_atan(char* parms, char* buffer);
char* znkinstr_dist(char* parms, char* buffer);
char* znkinstr_dir(char* parms, char* buffer);
char* znkinstr_dirToAngles(char* parms, char* buffer);
char* znkinstr_randi(char* parms, char* buffer);
char* znkinstr_time(char* parms, char* buffer);
char* znkinstr_passed(char* parms, char* buffer);
char* znkinstr_push(char* parms, char* buffer);
char* znkinstr_pop(char* parms, char* buffer);
char* znkinstr_output(char* parms, char* buffer);
char* znkinstr_quit(char* parms, char* buffer);
// Decoders of the register commands: seti, setf, setb and the integer and float arithmetic.
void DecodeSetInt(const char* parms, ZNK_decodedParms* d);
void DecodeSetFloat(const char* parms, ZNK_decodedParms* d);
void DecodeSetBool(const char* parms, ZNK_decodedParms* d);
void DecodeAddi(const char* parms, ZNK_decodedParms* d);
void DecodeMulti(const char* parms, ZNK_decodedParms* d);
void DecodeDivi(const char* parms, ZNK_decodedParms* d);
void DecodePowi(const char* parms, ZNK_decodedParms* d);
void DecodeAddf(const char* parms, ZNK_decodedParms* d);
void DecodeMultf(const char* parms, ZNK_decodedParms* d);
void DecodeDivf(const char* parms, ZNK_decodedParms* d);
void DecodePowf(const char* parms, ZNK_decodedParms* d);
// ... and of the loads and stores of named variables.
void DecodeLoadInt(const char* parms, ZNK_decodedParms* d);
void DecodeLoadFloat(const char* parms, ZNK_decodedParms* d);
void DecodeLoadBool(const char* parms, ZNK_decodedParms* d);
void DecodeLoadString(const char* parms, ZNK_decodedParms* d);
void DecodeStoreInt(const char* parms, ZNK_decodedParms* d);
void DecodeStoreFloat(const char* parms, ZNK_decodedParms* d);
void DecodeStoreBool(const char* parms, ZNK_decodedParms* d);
void DecodeStoreString(const char* parms, ZNK_decodedParms* d);

// appearance commands (appearance_commands.cpp)
char* znkinstr_col(char* parms, char* buffer);
char* znkinstr_alpha(char* parms, char* buffer);
char* znkinstr_wire(char* parms, char* buffer);
char* znkinstr_smooth(char* parms, char* buffer);
char* znkinstr_shininess(char* parms, char* buffer);
char* znkinstr_emission(char* parms, char* buffer);
char* znkinstr_ambient(char* parms, char* buffer);
char* znkinstr_diffuse(char* parms, char* buffer);
char* znkinstr_specular(char* parms, char* buffer);
char* znkinstr_tex(char* parms, char* buffer);
char* znkinstr_anim(char* parms, char* buffer);
char* znkinstr_hud(char* parms, char* buffer);
char* znkinstr_lux(char* parms, char* buffer);
char* znkinstr_loadtex(char* parms, char* buffer);
char* znkinstr_loadanim(char* parms, char* buffer);
char* znkinstr_rgb(char* parms, char* buffer);
char* znkinstr_backcol(char* parms, char* buffer);
char* znkinstr_fogcol(char* parms, char* buffer);
char* znkinstr_light(char* parms, char* buffer);
char* znkinstr_lighton(char* parms, char* buffer);
char* znkinstr_attenuation(char* parms, char* buffer);
char* znkinstr_spotlight(char* parms, char* buffer);
char* znkinstr_fov(char* parms, char* buffer);
char* znkinstr_ortho(char* parms, char* buffer);
char* znkinstr_fullscreen(char* parms, char* buffer);

// sound commands (sound_commands.cpp)
char* znkinstr_sndload(char* parms, char* buffer);
char* znkinstr_sndplay(char* parms, char* buffer);
char* znkinstr_sndloop(char* parms, char* buffer);
char* znkinstr_sndlooppoints(char* parms, char* buffer);
char* znkinstr_sndstop(char* parms, char* buffer);
char* znkinstr_channel(char* parms, char* buffer);
char* znkinstr_chanpos(char* parms, char* buffer);

// collision commands (collision_commands.cpp)
char* znkinstr_poke(char* parms, char* buffer);
char* znkinstr_teampoke(char* parms, char* buffer);
char* znkinstr_spherecoll(char* parms, char* buffer);
char* znkinstr_intersect(char* parms, char* buffer);
char* znkinstr_coll(char* parms, char* buffer);
char* znkinstr_collnormal(char* parms, char* buffer);
char* znkinstr_collpoint(char* parms, char* buffer);
char* znkinstr_collmaterial(char* parms, char* buffer);
char* znkinstr_bounce(char* parms, char* buffer);
char* znkinstr_egg(char* parms, char* buffer);
char* znkinstr_vertex(char* parms, char* buffer);
char* znkinstr_line(char* parms, char* buffer);
char* znkinstr_face(char* parms, char* buffer);

// input commands (input_commands.cpp)
char* znkinstr_key(char* parms, char* buffer);
char* znkinstr_click(char* parms, char* buffer);
char* znkinstr_savekey(char* parms, char* buffer);

// file commands (file_commands.cpp)
char* znkinstr_open(char* parms, char* buffer);
char* znkinstr_close(char* parms, char* buffer);
char* znkinstr_read(char* parms, char* buffer);
char* znkinstr_write(char* parms, char* buffer);
char* znkinstr_readtext(char* parms, char* buffer);
char* znkinstr_mouse(char* parms, char* buffer);
char* znkinstr_3Dto2D(char* parms, char* buffer);
char* znkinstr_screensave(char* parms, char* buffer);
char* znkinstr_beep(char* parms, char* buffer);
char* znkinstr_save(char* parms, char* buffer);

// group commands (group_commands.cpp)
char* znkinstr_group(char* parms, char* buffer);
char* znkinstr_ungroup(char* parms, char* buffer);
char* znkinstr_groupAdd(char* parms, char* buffer);
char* znkinstr_groupDel(char* parms, char* buffer);

// particle commands (particle_commands.cpp)
char* znkinstr_particles(char* parms, char* buffer);
char* znkinstr_partinfo(char* parms, char* buffer);

// text commands (text_commands.cpp)
char* znkinstr_buildfont(char* parms, char* buffer);
char* znkinstr_font(char* parms, char* buffer);
char* znkinstr_textcol(char* parms, char* buffer);
char* znkinstr_textbox(char* parms, char* buffer);
