#include "output/WordPressOutput.h"

// The send and options requests. A send needs the capture saved as an image
// file; everything after that reports its own failures.
bool CWordPressOutput::SendCapture()
{
    return !SaveImageCopy().empty();
}

void CWordPressOutput::RunOptions()
{
}
