int movaraFrameworkPlaceholder = 0;
