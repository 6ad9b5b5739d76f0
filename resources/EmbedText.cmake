# Writes OUTPUT, a C++ file that holds the text of INPUT as the constant NAME.
file(READ ${INPUT} text)
get_filename_component(source ${INPUT} NAME)
file(WRITE ${OUTPUT} "// Generated from resources/${source}; edit that file instead.\n"
                     "extern const char* const ${NAME};\n"
                     "const char* const ${NAME} = R\"EMBEDDED(${text})EMBEDDED\";\n")
