// GLUT callbacks: thin adapters from GLUT's events to the one scene.
#pragma once

void display();
void reshape(int width, int height);
void mouse(int button, int state, int x, int y);
void stopSpark(int value);
void stopFlame(int value);
void processSubFlameMenu(int value);
void processSubModeMenu(int value);
void processMainMenu(int value);

// Registers display, reshape and mouse with GLUT.
void registerCallbacks();

// Builds the flame-colour, mesh-mode and main menus, in that order, and
// attaches the main menu to the right button.
void buildMenus();
