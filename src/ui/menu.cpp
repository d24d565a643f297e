// Placeholder until the menus land.
