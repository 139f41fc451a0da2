"""Generator of the thirteen library file pairs and the two master lists."""
