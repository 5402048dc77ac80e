// vultar_manpage: writes the manual page of the game, glbtool or scenetool from the same tables
// their --help prints.
#include <cstdio>
#include <cstring>

#include "game/usage.h"
#include "glbtool_manual.h"
#include "scenetool_manual.h"

int main(int argc, char** argv)
{
    if (argc != 5) {
        fprintf(stderr, "usage: vultar_manpage vultar|glbtool|scenetool OUTFILE VERSION DATE\n");
        return 2;
    }
    const MAN_PAGE* page = nullptr;
    if (strcmp(argv[1], "vultar") == 0) page = &vul_manual;
    if (strcmp(argv[1], "glbtool") == 0) page = &glbtool_manual;
    if (strcmp(argv[1], "scenetool") == 0) page = &scenetool_manual;
    if (!page) {
        fprintf(stderr, "vultar_manpage: no manual page for '%s'\n", argv[1]);
        return 2;
    }
    FILE* f = fopen(argv[2], "w");
    if (!f) {
        perror(argv[2]);
        return 2;
    }
    MAN_WriteRoff(*page, argv[3], argv[4], f);
    if (fclose(f) != 0) {
        perror(argv[2]);
        return 2;
    }
    return 0;
}
