# Writes OUTPUT, a C++ file that holds the text of INPUT as kBuiltInPictures.
file(READ ${INPUT} text)
file(WRITE ${OUTPUT} "// Generated from resources/Pictures.txt; edit that file instead.\n"
                     "extern const char* const kBuiltInPictures;\n"
                     "const char* const kBuiltInPictures = R\"PICTURES(${text})PICTURES\";\n")
