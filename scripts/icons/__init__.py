"""Drawing helpers for the accessory's icons; scripts/make-icons.py is the entry point."""
