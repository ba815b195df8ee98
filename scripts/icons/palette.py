"""The accessory's colours, shared by every icon so the toolbars match the W disc."""
BLUE = '#21759B'
DARK = '#144A63'
WHITE = '#FFFFFF'
TEXT = '#8A8A8A'
BREAK = '#D0402B'
