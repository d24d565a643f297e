// Placeholder until the music lands.
