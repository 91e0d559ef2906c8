int movaraEnginePlaceholder = 0;
