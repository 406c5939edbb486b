# cmake -DOUTPUT=file.cpp -DINPUTS=a|b|c -P EmbedFiles.cmake
string(REPLACE "|" ";" INPUTS "${INPUTS}")
set(body "// Generated from ui/layouts and ui/artwork; do not edit.\n#include \"framework/Resources.h\"\n\nnamespace kelpo {\nnamespace {\n")
set(table "")
set(index 0)
foreach(input IN LISTS INPUTS)
  get_filename_component(name ${input} NAME)
  file(READ ${input} hex HEX)
  string(LENGTH "${hex}" hexlength)
  math(EXPR size "${hexlength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){32})" "\\1\n" bytes "${bytes}")
  string(APPEND body "const unsigned char Resource${index}[] = {\n${bytes}0};\n")
  string(APPEND table "    {\"${name}\", Resource${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()
string(APPEND body "const EmbeddedResource Table[] = {\n${table}    {nullptr, nullptr, 0}};\n\n"
  "// Registers the table with the framework when the program starts.\n"
  "struct Registration {\n  Registration() { RegisterEmbeddedResources({Table, sizeof(Table) / sizeof(Table[0]) - 1}); }\n} registration;\n\n"
  "}  // namespace\n}  // namespace kelpo\n")
file(WRITE ${OUTPUT}.tmp "${body}")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
