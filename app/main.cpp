#include "app/startup.h"

int main(int argc, char** argv) {
    startViewer(&argc, argv);
}
